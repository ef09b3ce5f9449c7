#include "LanguageSetup.h"

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
    int copied = 0;
    for (const std::wstring& name : platform::ListFolder(from)) {
        const std::wstring source = JoinPath(from, name);
        const std::wstring target = JoinPath(to, name);
        if (!platform::FileExists(source) || !platform::IniNamesEqual(platform::ExtensionPart(name), L".ini") ||
            platform::IniNamesEqual(platform::StemPart(name), L"Lang") || platform::PathExists(target))
            continue;
        if (platform::CopyFileTo(source, target, false))
            ++copied;
    }
    return copied;
}

void InitLanguages(const std::wstring& shippedFolder)
{
    Lang::SetLangPath(GetUserDataFolder());
    Lang::SetAppName(L"Kelvane");
    RegisterResourceStrings();
    CopyMissingLanguageFiles(shippedFolder, Lang::GetLanguageFolder());
    Lang::LoadLanguage();
}
