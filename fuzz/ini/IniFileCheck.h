#pragma once
// Feeds one candidate ini file to the profile layer: parsed from bytes,
// compared with a parse of its own text, edited, and read through the file
// functions. Shared by the libFuzzer target and the test that replays its
// corpus.
#include <string>

// Uses "fuzz.ini" in the folder; returns an empty string, or what went wrong.
std::string CheckIniFileInput(const std::string& bytes, const std::wstring& folder);
