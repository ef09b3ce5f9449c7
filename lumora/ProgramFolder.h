#pragma once
// The program's data folder (beside the executable in a build), where the library keeps its skin
// files and the ini files of CMyIniFile.
#include <string>

namespace lumora {

std::wstring ProgramFolder();

}  // namespace lumora
