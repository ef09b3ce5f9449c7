#include "EditorAddresses.h"

#include "lumora/Lang.h"

namespace {

// Placeholders until the maker's pages are known; this is the one place they appear.
constexpr wchar_t kHomeMainland[] = L"https://www.kelvane.example/zh-CN/";
constexpr wchar_t kHomeInternational[] = L"https://www.kelvane.example/en/";
constexpr wchar_t kTolvenarMainland[] = L"https://www.tolvenar.example/zh-CN/";
constexpr wchar_t kTolvenarInternational[] = L"https://www.tolvenar.example/en/";
constexpr wchar_t kSupportMainland[] = L"https://www.kelvane.example/zh-CN/support";
constexpr wchar_t kSupportInternational[] = L"mailto:support@kelvane.example";
constexpr wchar_t kVmixPage[] = L"https://www.vmix.com/";

bool IsMainland(std::wstring_view language) { return language == kChineseLanguageName; }

}  // namespace

std::wstring GetHomePageAddress(std::wstring_view language)
{
    return IsMainland(language) ? kHomeMainland : kHomeInternational;
}

std::wstring GetTolvenarPageAddress(std::wstring_view language)
{
    return IsMainland(language) ? kTolvenarMainland : kTolvenarInternational;
}

std::wstring GetSupportAddress(std::wstring_view language)
{
    return IsMainland(language) ? kSupportMainland : kSupportInternational;
}

std::wstring GetVmixPageAddress() { return kVmixPage; }

std::wstring GetHomePageAddress() { return GetHomePageAddress(Lang::GetCurLanguage()); }
std::wstring GetTolvenarPageAddress() { return GetTolvenarPageAddress(Lang::GetCurLanguage()); }
std::wstring GetSupportAddress() { return GetSupportAddress(Lang::GetCurLanguage()); }
