#pragma once
// The folder of the running executable, where the library keeps its skin
// files and the ini files of CMyIniFile.
#include <string>

namespace lumora {

std::wstring ProgramFolder();

}  // namespace lumora
