#pragma once
// Names of sources: the display name a record gets, and engine source names
// made unique against the sources that exist.
#include "SourceInfo.h"

#include <string>

// Rebuilds the record's display name from its kind and path and returns it:
// sets (4, 5) the name of the folder that holds the path; files (1, 3, 200,
// 210) the file name, with "[List]" in front when playlist entries exist;
// web-RTC (17, 18) "name(room - id)"; screens (10) the path; else "Unknown".
std::wstring MakeDisplayName(SourceInfo& info);

// The name, or when a source of that name exists "name (2)", "name (3)", ...
// the first that is free.
std::string MakeUniqueSourceName(const std::string& name);

// The name, or "name 2", "name 3", ... the first that is free (device and
// capture sources).
std::string MakeUniqueDeviceName(const std::string& name);

// True when a named source of that name exists.
bool SourceNameExists(const std::string& name);
