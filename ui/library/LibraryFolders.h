#pragma once
// Where each library's sets are: the folders remembered in "system.ini"
// (section "Path", keys "Tolvenar" and "vMix") and the searches for the
// programs' own folders.
#include <string>

std::wstring SystemIniPath();  // "system.ini" in the user data folder

// The remembered folder of a Tolvenar or vMix library; empty for none.
std::wstring ReadLibraryFolder(int kind);
bool WriteLibraryFolder(int kind, const std::wstring& folder);

// The programs' own sets folder: FindSetsRoot for Tolvenar,
// FindVmixVirtualSetsFolder for vMix; false for the recent list.
bool FindLibraryFolder(int kind, std::wstring& folder);

// The folder a scan lists: a Tolvenar library lists the sub-folder of the
// chosen tab.
std::wstring ScanFolderOf(int kind, const std::wstring& libraryFolder, int tolvenarTab);
