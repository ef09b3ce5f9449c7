#pragma once
// Shared pieces of the language tests: a fresh language root, the user's
// locale, and language files written byte for byte as UTF-16LE.
#include "app/ResourceTexts.h"
#include "lumora/Lang.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <string>

namespace langtest {

inline std::string Utf16Le(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// Sets the locale variables the way a user's session would: only LANG.
class Locale {
public:
    explicit Locale(const char* lang) : m_all("LC_ALL", nullptr), m_messages("LC_MESSAGES", nullptr), m_lang("LANG", lang) {}

private:
    testsupport::ScopedEnv m_all;
    testsupport::ScopedEnv m_messages;
    testsupport::ScopedEnv m_lang;
};

// A language root in a temporary folder with the app name "Kelvane" and the
// program's string table, as the editor sets it up.
class LangRoot {
public:
    LangRoot()
    {
        Lang::SetLangPath(m_dir.wpath());
        Lang::SetAppName(L"Kelvane");
        Lang::m_sCurLanguage.clear();
        Lang::m_sCurLanguagePath.clear();
        Lang::m_aLanguageList.clear();
        Lang::m_bSave = 0;
        RegisterResourceStrings();
    }
    std::string path(const std::string& relative) const { return m_dir.file(relative); }
    std::string languageFile(const std::string& name) const { return path("Language/Kelvane/" + name + ".ini"); }
    void writeLanguage(const std::string& name, std::u16string_view text) const
    {
        std::filesystem::create_directories(path("Language/Kelvane"));
        testsupport::WriteFileBytes(languageFile(name), Utf16Le(text));
    }

private:
    testsupport::TempDir m_dir{"kelvane-lang-"};
};

}  // namespace langtest
