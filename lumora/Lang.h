#pragma once
// Every user-visible text by number, in the language the user chose. The
// program's own string table holds the default texts (Simplified Chinese in
// the editor) and its dialogs and menus carry their default captions; a
// language is a UTF-16LE ini file that overrides them entry by entry:
//
//   <root>/Language/Lang.ini              [Setting] Language=<name>
//   <root>/Language/<app>/<name>.ini      [String] IDS<id>=...   ("##" is a line break)
//                                         [Menu]   ID<menu>_<command>=...
//                                         [Dialog] IDD<dialog>_Title=...  IDD<dialog>_<control>=...
//                                         [Text]   <any key>=...
//
// There is one language state per process; only the user-interface thread
// uses it.
#include "lumora/LangFormat.h"
#include "lumora/LumoraApi.h"

#include <array>
#include <string>
#include <vector>

class QWidget;

class LUMORA_API Lang {
public:
    // The program's string table: the default text of a string id, empty
    // when the table has none. The program registers it before any lookup.
    using StringTableLoader = std::wstring (*)(unsigned id);
    static void SetStringTableLoader(StringTableLoader loader);
    static std::wstring LoadTableString(unsigned id);

    static void SetLangPath(const std::wstring& folder);
    static void SetAppName(const std::wstring& name);
    // m_sLangPath, or the folder of the running executable when that is empty.
    static std::wstring GetAppRoot();
    // root/Language/<app name>
    static std::wstring GetLanguageFolder();

    // LoadLanguageList, then GetCurLanguage; returns 1.
    static int LoadLanguage();
    // The language files found on disk (creating the folders), or null
    // without an app name.
    static std::vector<std::wstring>* LoadLanguageList();
    // The languages a user can choose: the files on disk and, with a string
    // table registered, the table's own language ("简体中文") first even
    // without a file, so a user who chose another language can come back.
    static std::vector<std::wstring> SelectableLanguages();
    // The language of Lang.ini when it is on disk (it then becomes current),
    // else the default language: "简体中文" on a Chinese system, otherwise
    // "English", without a language file.
    static std::wstring GetCurLanguage();
    // Makes the language current and records it in Lang.ini; returns 1.
    static int SetCurLanguage(const std::wstring& name);
    // Save mode writes the program's default texts into the current language
    // file instead of reading them; it stays off unless that is "简体中文".
    static void SetSaveFlag(int save);

    static std::wstring LoadLangString(unsigned id);
    // The value of the key in the current language file, or the key itself
    // when it is absent; empty in save mode.
    static std::wstring LoadLangString(const std::wstring& section, const std::wstring& key);
    static std::wstring LoadLangText(const std::wstring& key);

    // LoadLangString(id) used as a printf format for the values. A translation
    // whose conversions differ from the default text's is not used.
    template <class... Values>
    static std::wstring FormatLangString(unsigned id, const Values&... values)
    {
        const std::array<lumora::FormatArg, sizeof...(Values)> list{lumora::FormatArg(values)...};
        return FormatLangStringArgs(id, list);
    }
    static std::wstring FormatLangStringArgs(unsigned id, std::span<const lumora::FormatArg> values);

    // Translates the dialog's caption and the texts of its controls (found by
    // their control ids), or writes them out in save mode.
    static void LoadDialogLangStrings(QWidget* dialog, int dialogId);
    // Translates the items of the menu's first sub-menu by their command ids
    // (a QMenu or QMenuBar), or writes them out in save mode.
    static void LoadMenuLangStrings(QWidget* menu, int menuId);

    static std::wstring m_sLangPath;
    static std::wstring m_sAppName;
    static std::wstring m_sCurLanguage;
    static std::wstring m_sCurLanguagePath;
    static std::vector<std::wstring> m_aLanguageList;
    static int m_bSave;

private:
    static StringTableLoader s_stringTable;
};

// The name of the language whose texts are the program's own defaults.
inline constexpr wchar_t kChineseLanguageName[] = L"简体中文";
