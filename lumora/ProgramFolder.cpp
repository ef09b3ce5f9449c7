#include "ProgramFolder.h"

#include "platform/FileUtil.h"
#include "platform/SpecialFolders.h"

namespace lumora {

std::wstring ProgramFolder() { return platform::FolderPart(platform::GetExecutablePath()); }

}  // namespace lumora
