#include "LanguageFileMerge.h"

#include "platform/FileUtil.h"
#include "platform/IniFile.h"

#include <optional>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The text as it must stand after "key=" so that reading the key gives it
// back: blanks at either end, or enclosing quotes of its own, are kept by
// one more pair of quotes.
std::wstring StoredForm(const std::wstring& text)
{
    if (text.empty())
        return text;
    const bool blankEnds = IsBlank(text.front()) || IsBlank(text.back());
    const bool quoted = text.size() >= 2 && (text.front() == L'"' || text.front() == L'\'') && text.back() == text.front();
    return blankEnds || quoted ? L"\"" + text + L"\"" : text;
}

}  // namespace

std::wstring ShippedLanguageBaseFolder(const std::wstring& userLanguageFolder)
{
    return platform::JoinPath(userLanguageFolder, L".shipped");
}

int MergeLanguageTexts(const platform::IniFile& shipped, const platform::IniFile* base, platform::IniFile& user)
{
    int changed = 0;
    for (const std::wstring& section : shipped.SectionNames()) {
        for (const std::wstring& key : shipped.KeyNames(section)) {
            const std::optional<std::wstring> text = shipped.Get(section, key);
            if (!text)
                continue;
            const std::optional<std::wstring> mine = user.Get(section, key);
            if (mine) {
                if (*mine == *text || !base)
                    continue;
                // Only a text the user never changed follows the program.
                const std::optional<std::wstring> before = base->Get(section, key);
                if (!before || *before != *mine)
                    continue;
            }
            if (user.Set(section, key, StoredForm(*text)))
                ++changed;
        }
    }
    return changed;
}

LanguageMergeResult MergeShippedLanguageFile(const std::wstring& shippedFile, const std::wstring& userFile)
{
    const std::optional<std::string> shippedBytes = platform::ReadWholeFile(shippedFile);
    if (!shippedBytes)
        return LanguageMergeResult::Failed;
    const std::wstring baseFolder = ShippedLanguageBaseFolder(platform::FolderPart(userFile));
    const std::wstring baseFile = platform::JoinPath(baseFolder, platform::FileNamePart(userFile));
    const auto recordBase = [&] {
        platform::CreateFolderTree(baseFolder);
        platform::WriteFileAtomically(baseFile, *shippedBytes);
    };

    if (!platform::PathExists(userFile)) {
        if (!platform::WriteFileAtomically(userFile, *shippedBytes))
            return LanguageMergeResult::Failed;
        recordBase();
        return LanguageMergeResult::Copied;
    }
    const std::optional<std::string> baseBytes = platform::ReadWholeFile(baseFile);
    std::optional<platform::IniFile> user = platform::IniFile::Load(userFile);
    if (!user || !platform::FileExists(userFile))
        return LanguageMergeResult::Failed;
    const platform::IniFile shipped = platform::IniFile::FromBytes(*shippedBytes);
    std::optional<platform::IniFile> base;
    if (baseBytes)
        base = platform::IniFile::FromBytes(*baseBytes);
    const int changed = MergeLanguageTexts(shipped, base ? &*base : nullptr, *user);
    if (changed > 0 && !user->Save(userFile))
        return LanguageMergeResult::Failed;
    // The base moves on only once the user's file holds the merge.
    if (baseBytes != shippedBytes)
        recordBase();
    return changed > 0 ? LanguageMergeResult::Updated : LanguageMergeResult::Unchanged;
}
