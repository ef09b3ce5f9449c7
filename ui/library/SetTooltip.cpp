#include "SetTooltip.h"

#include "formats/SceneFile.h"
#include "lumora/Lang.h"
#include "platform/FileStream.h"
#include "platform/FileUtil.h"

int SetTypeOfFolder(const std::wstring& folder)
{
    platform::FileStream file;
    SceneFileHeader header{};
    if (!file.Open(platform::JoinPath(folder, kSceneFileName), platform::FileStream::Mode::Read) ||
        !file.ReadExact(&header, sizeof header))
        return 0;
    if (header.magic != kSceneMagic || header.version != kSceneVersion || header.thumbnailSize == 0)
        return 0;
    return EffectiveShotMode(header);
}

std::wstring SetTooltipText(const std::wstring& folder)
{
    // lang-ids: 104 123
    const std::wstring type = Lang::LoadLangString(SetTypeOfFolder(folder) == kShotModeCamera ? 104 : 123);
    return Lang::LoadLangString(270) + L" : " + type + L"\r\n" + Lang::LoadLangString(167) + L" : " + folder +
           L"\r\n" + std::wstring(96, L'-') + L"\r\n" + Lang::LoadLangString(107);
}
