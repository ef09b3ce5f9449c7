#pragma once
// Where the editor keeps a user's files, and where it finds its own program
// folder and the maker's shared folders.
#include <string>

// Created with its parents when missing (a fresh account has no
// ~/.local/share yet).
std::wstring GetUserDataFolder();
std::wstring GetVirtualSetsFolder();
std::wstring GetUnnamedSetFolder();     // not created here
std::wstring GetUpdateFolder();
std::wstring GetRtcServerConfigPath();
std::wstring GetProgramFolder();        // folder of the running executable
// The maker's folder for the named program, or empty when it or the maker's
// folder does not exist.
std::wstring FindMakerProgramFolder(const std::wstring& programName);
