#include "UpdateAddress.h"

std::wstring GetUpdateManifestAddress(std::wstring_view currentLanguage)
{
    return currentLanguage == kMainlandLanguage ? kUpdateManifestAddressMainland : kUpdateManifestAddressInternational;
}
