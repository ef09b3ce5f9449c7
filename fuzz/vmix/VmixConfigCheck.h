#pragma once
// Feeds one candidate "config.xml" to the vMix set readers. Shared by the
// libFuzzer target and the test that replays its corpus.
#include <string>

// Writes the bytes to "config.xml" in the folder and returns an empty string,
// or what went wrong.
std::string CheckVmixConfigReaders(const std::string& bytes, const std::wstring& folder);
