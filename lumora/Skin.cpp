#include "Skin.h"

#include "lumora/ProgramFolder.h"
#include "platform/FileUtil.h"
#include "platform/IniFile.h"

#include <cstdio>

std::map<int, int> CSkin::m_mColor;
int CSkin::m_nSkin = 1;

namespace {

struct SkinKey {
    int index;
    const wchar_t* section;
    const wchar_t* key;
    uint32_t defaultValue;
};

constexpr SkinKey kSkinKeys[] = {
    {COLOR_POPDLGBK, L"Color", L"COLOR_POPDLGBK", 0x292929},
    {COLOR_DLGBK, L"Color", L"COLOR_DLGBK", 0x333333},
    {COLOR_SPLITBK, L"Color", L"COLOR_SPLITBK", 0x1F1F1F},
    {COLOR_DLGTEXT_H, L"Color", L"COLOR_DLGTEXT_H", 0xC0C0C0},
    {COLOR_DLGTEXT_L, L"Color", L"COLOR_DLGTEXT_L", 0x808080},
    {COLOR_LISTBK, L"Color", L"COLOR_LISTBK", 0x111111},
    {COLOR_LISTLINE, L"Color", L"COLOR_LISTLINE", 0x1E1E1E},
    {COLOR_LISTTEXT, L"Color", L"COLOR_LISTTEXT", 0xC0C0C0},
    {COLOR_DLGBORDER, L"Color", L"COLOR_DLGBORDER", 0x000000},
    {COLOR_EDIT_BORDER1, L"Color", L"COLOR_EDIT_BORDER1", 0x808080},
    {COLOR_EDIT_BORDER2, L"Color", L"COLOR_EDIT_BORDER2", 0x202020},
    {COLOR_PB_BC, L"Color", L"COLOR_PB_BC", 0x808080},
    {COLOR_PB_FC, L"Color", L"COLOR_PB_FC", 0x206620},
    {COLOR_TAB_TEXT_H, L"Color", L"COLOR_TAB_TEXT_H", 0xFFFFFF},
    {COLOR_TAB_TEXT_L, L"Color", L"COLOR_TAB_TEXT_L", 0xC0C0C0},
    {COLOR_TAB_CURITEM, L"Color", L"COLOR_TAB_CURITEM", 0x008800},
    {COLOR_TAB_ITEM, L"Color", L"COLOR_TAB_ITEM", 0x484848},
    {COLOR_GROUPBOX_BORDER, L"Color", L"COLOR_GROUPBOX_BORDER", 0x808080},
    {COLOR_GROUPBOX_TEXT, L"Color", L"COLOR_GROUPBOX_TEXT", 0xF0AA5A},  // 5:1 on the dialogs
    {COLOR_BUTTON_INSIDE1, L"Color", L"COLOR_BUTTON_INSIDE1", 0xC0C0C0},
    {COLOR_BUTTON_INSIDE2, L"Color", L"COLOR_BUTTON_INSIDE2", 0x404040},
    {COLOR_BUTTON_BORDER, L"Color", L"COLOR_BUTTON_BORDER", 0x000000},
    {COLOR_BUTTON_TEXT, L"Color", L"COLOR_BUTTON_TEXT", 0xFFFFFF},
    {COLOR_BUTTON_CB1, L"Color", L"COLOR_BUTTON_CB1", 0x00D0D0},
    {COLOR_BUTTON_CB2, L"Color", L"COLOR_BUTTON_CB2", 0x0080FF},
    {COLOR_NOPLAY, L"Color", L"COLOR_NOPLAY", 0x808080},
    {COLOR_PLAYED, L"Color", L"COLOR_PLAYED", 0x3C3C3C},
    {COLOR_PLAYING, L"Color", L"COLOR_PLAYING", 0x0040C0},
    {COLOR_NEXT, L"Color", L"COLOR_NEXT", 0x004000},
    {COLOR_SKIPED, L"Color", L"COLOR_SKIPED", 0x8E702E},
    {COLOR_ERROR, L"Color", L"COLOR_ERROR", 0x800080},
    {COLOR_HOLD, L"Color", L"COLOR_HOLD", 0x000080},
    {COLOR_PGM_GAP, L"Color", L"COLOR_PGM_GAP", 0x402020},
    {COLOR_PGM_TRIM, L"Color", L"COLOR_PGM_TRIM", 0x202040},
    {LIST_FONT_SIZE, L"List", L"LIST_FONT_SIZE", 14},
    {LIST_LINE_HEIGHT, L"List", L"LIST_LINE_HEIGHT", 44},
};

std::wstring SkinSelectionPath() { return platform::JoinPath(lumora::ProgramFolder(), L"Skin.ini"); }

std::wstring FormatValue(const SkinKey& key, int value)
{
    char text[32];
    if (key.section == std::wstring_view(L"List"))
        std::snprintf(text, sizeof(text), "%d", value);
    else
        std::snprintf(text, sizeof(text), "0x%06X", static_cast<unsigned>(value));
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// The library's part of loading it into a process.
struct SkinAtStart {
    SkinAtStart() { CSkin::LoadAtStart(); }
} s_skinAtStart;

}  // namespace

std::wstring CSkin::SkinFilePath(int n)
{
    return platform::JoinPath(lumora::ProgramFolder(), L"Skin" + std::to_wstring(n) + L".ini");
}

int CSkin::GetCurSkin()
{
    return static_cast<int>(platform::ReadProfileInt(SkinSelectionPath(), L"Skin", L"Current", 1));
}

bool CSkin::SetCurSkin(int n)
{
    // The skin file is looked for beside Skin.ini, whatever the current folder.
    if (!platform::FileExists(SkinFilePath(n)))
        return false;
    platform::WriteProfileString(SkinSelectionPath(), L"Skin", L"Current", std::to_wstring(n));
    return true;
}

int CSkin::LoadSkin(int n)
{
    const std::wstring path = SkinFilePath(n);
    // One read of the file for all values.
    const platform::IniFile file = platform::IniFile::Load(path).value_or(platform::IniFile());
    for (const SkinKey& key : kSkinKeys) {
        const std::optional<std::wstring> text = file.Get(key.section, key.key);
        const uint32_t value =
            (text && !text->empty()) ? platform::ParseProfileInt(*text) : key.defaultValue;
        m_mColor[key.index] = static_cast<int>(value);
    }
    m_nSkin = n;
    return 1;
}

int CSkin::SaveSkin(int n)
{
    std::vector<platform::IniEntry> entries;
    for (const auto& [index, value] : m_mColor) {
        for (const SkinKey& key : kSkinKeys) {
            if (key.index == index)
                entries.push_back({key.section, key.key, FormatValue(key, value)});
        }
    }
    platform::WriteProfileStrings(SkinFilePath(n), entries);  // a read-only folder keeps the defaults
    return 1;
}

int CSkin::GetValue(int index)
{
    const auto found = m_mColor.find(index);
    return found == m_mColor.end() ? 0 : found->second;
}

void CSkin::LoadAtStart()
{
    const int n = GetCurSkin();
    SetCurSkin(n);
    LoadSkin(n);
    SaveSkin(n);
}
