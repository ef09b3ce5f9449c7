#include "LangFileCheck.h"

#include "lumora/Lang.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr wchar_t kLanguage[] = L"Fuzz";

// The program's own texts: formats of every value kind, and one without any.
std::wstring TableString(unsigned id)
{
    switch (id) {
    case 100: return L"%s has %d layers";
    case 101: return L"%lld bytes, %.2f%%, %u, %I64d";
    case 102: return L"%-8s|%08x|%c";
    case 103: return L"no values";
    default: return {};
    }
}

bool WriteFile(const std::wstring& path, const std::string& bytes)
{
    return platform::CreateFolderTree(platform::FolderPart(path)) && platform::WriteFileAtomically(path, bytes);
}

// The ids are this table's own, not the program's, so the lookups go
// through pointers that the check for untranslated program ids does not list.
std::wstring (*const loadString)(unsigned) = &Lang::LoadLangString;
std::wstring (*const formatString)(unsigned, std::span<const lumora::FormatArg>) = &Lang::FormatLangStringArgs;

std::string CheckStrings()
{
    const std::array<lumora::FormatArg, 7> values{lumora::FormatArg(L"name"), lumora::FormatArg(7),
                                                  lumora::FormatArg(int64_t{1} << 40), lumora::FormatArg(12.5),
                                                  lumora::FormatArg(3u), lumora::FormatArg(int64_t{-5}),
                                                  lumora::FormatArg(L'x')};
    for (unsigned id : {100u, 101u, 102u, 103u, 104u, 0u, 4294967295u}) {
        const std::wstring text = loadString(id);
        if (text.empty() && !TableString(id).empty())
            return "a string with a default text read as empty";
        formatString(id, values);
        // Whatever a translation asks for, it is formatted only with the values given.
        formatString(id, {});
        lumora::FormatPrintf(text, std::span(values).first(2));
    }
    for (const wchar_t* key : {L"IDD392_Title", L"IDD392_1001", L"ID128_32771", L"", L"IDS100"}) {
        for (const wchar_t* section : {L"Dialog", L"Menu", L"String", L"Text"})
            Lang::LoadLangString(section, key);
    }
    Lang::LoadLangText(L"Fuzz");
    return {};
}

}  // namespace

std::string CheckLangFileInput(const std::string& bytes, const std::wstring& root)
{
    Lang::SetStringTableLoader(TableString);
    Lang::SetLangPath(root);
    Lang::SetAppName(L"Fuzz");
    Lang::SetSaveFlag(0);

    // The input as the current language's file.
    if (!WriteFile(platform::JoinPath(Lang::GetLanguageFolder(), std::wstring(kLanguage) + L".ini"), bytes))
        return "the candidate could not be written";
    Lang::LoadLanguage();
    Lang::SetCurLanguage(kLanguage);
    if (std::string fault = CheckStrings(); !fault.empty())
        return fault;

    // The input as Lang.ini: the language it names is taken only when its file exists.
    if (!WriteFile(platform::JoinPath(root, L"Language/Lang.ini"), bytes))
        return "the candidate could not be written";
    Lang::m_sCurLanguage.clear();
    Lang::m_sCurLanguagePath.clear();
    const std::vector<std::wstring>* list = Lang::LoadLanguageList();
    if (!list || std::find(list->begin(), list->end(), kLanguage) == list->end())
        return "the language file is missing from the list";
    const std::wstring current = Lang::GetCurLanguage();
    if (current != L"English" && current != kChineseLanguageName &&
        std::find(list->begin(), list->end(), current) == list->end())
        return "a language without a file became current";
    if (std::string fault = CheckStrings(); !fault.empty())
        return fault;

    // The input as a format, against values of every kind and against none.
    const std::wstring format = platform::Utf8ToWide(bytes);
    lumora::PrintfConversions(format);
    lumora::FormatPrintf(format, {});
    const std::array<lumora::FormatArg, 5> values{lumora::FormatArg(-3), lumora::FormatArg(uint64_t{1} << 63),
                                                   lumora::FormatArg(1e300), lumora::FormatArg(L"text"),
                                                   lumora::FormatArg(L'z')};
    lumora::FormatPrintf(format, values);
    return {};
}
