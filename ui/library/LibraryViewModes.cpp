#include "LibraryViewModes.h"

#include "LibraryKinds.h"
#include "app/SettingsFiles.h"
#include "formats/XmlDocument.h"
#include "platform/FileUtil.h"
#include "platform/IniFile.h"

namespace {

unsigned& ModeField(int kind)
{
    switch (kind) {
    case kLibraryTolvenar: return g_settings.VirtualSet;
    case kLibraryVmix: return g_settings.MultiView;
    default: return g_settings.ThirdVSet;
    }
}

unsigned ParseMode(const std::wstring& text) { return platform::ParseProfileInt(text) != 0 ? 1u : 0u; }

}  // namespace

unsigned LibraryViewMode(int kind) { return ModeField(kind); }

bool StoreLibraryViewMode(int kind, unsigned rows)
{
    ModeField(kind) = rows ? 1u : 0u;
    return WriteSettingsFile();
}

bool RestoreLibraryViewModes() { return RestoreLibraryViewModes(SettingsFilePath()); }

bool RestoreLibraryViewModes(const std::wstring& settingsPath)
{
    if (!platform::FileExists(settingsPath))
        return false;
    CXmlDocument doc;
    if (!doc.LoadFile(settingsPath) || !doc.FindElement(L"Kelvane"))
        return false;
    doc.EnterElement();
    if (!doc.FindElement(L"ListViewState"))
        return false;
    g_settings.VirtualSet = ParseMode(doc.GetAttribute(L"VirtualSet"));
    g_settings.MultiView = ParseMode(doc.GetAttribute(L"MultiView"));
    g_settings.ThirdVSet = ParseMode(doc.GetAttribute(L"ThirdVSet"));
    return true;
}
