#include "ProgramFolder.h"

#include "platform/FileUtil.h"
#include "platform/SystemFolders.h"

namespace lumora {

std::wstring ProgramFolder() { return platform::GetProgramDataFolder(); }

}  // namespace lumora
