#pragma once
// The program's own file version and the version number the update check
// compares with a manifest.
#include <optional>
#include <string>
#include <string_view>

// The file version of this build, four numbers such as "1.2.0.0".
std::wstring GetFileVersionText();

// Reduces a file version of four numbers, separated by dots or (when the text
// holds a comma) by commas, to first x 100 + second x 10 + third; 1.2.0.0
// gives 120. Spaces around the numbers are allowed ("1, 2, 0, 0"). Nothing
// for text that is not four numbers of 0..65535.
std::optional<int> VersionNumberFromText(std::wstring_view text);

// The version number of this build.
int GetOwnVersionNumber();
