#pragma once
// Feeds one candidate "update.json" to the manifest reader, as text and as a
// stored file. Shared by the libFuzzer target and the test that replays its
// corpus.
#include <string>

// Uses "update.json" in the folder; returns an empty string, or what went wrong.
std::string CheckManifestInput(const std::string& bytes, const std::wstring& folder);
