#include "LanguageSetup.h"
#include "LanguageFileMerge.h"

#include "app/ResourceTexts.h"
#include "app/UserFolders.h"
#include "platform/SystemFolders.h"
#include "lumora/Lang.h"
#include "platform/FileUtil.h"
#include "platform/IniFile.h"

using platform::JoinPath;

std::wstring GetShippedLanguageFolder() { return JoinPath(platform::GetProgramDataFolder(), L"Language"); }

int CopyMissingLanguageFiles(const std::wstring& from, const std::wstring& to)
{
    if (!platform::FolderExists(from))
        return 0;
    platform::CreateFolderTree(to);
    int brought = 0;
    for (const std::wstring& name : platform::ListFolder(from)) {
        const std::wstring source = JoinPath(from, name);
        if (!platform::FileExists(source) || !platform::IniNamesEqual(platform::ExtensionPart(name), L".ini") ||
            platform::IniNamesEqual(platform::StemPart(name), L"Lang"))
            continue;
        const LanguageMergeResult result = MergeShippedLanguageFile(source, JoinPath(to, name));
        if (result == LanguageMergeResult::Copied || result == LanguageMergeResult::Updated)
            ++brought;
    }
    return brought;
}

void InitLanguages(const std::wstring& shippedFolder)
{
    Lang::SetLangPath(GetUserDataFolder());
    Lang::SetAppName(L"Kelvane");
    RegisterResourceStrings();
    CopyMissingLanguageFiles(shippedFolder, Lang::GetLanguageFolder());
    Lang::LoadLanguage();
}
