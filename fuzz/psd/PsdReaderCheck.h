#pragma once
// Feeds one candidate Photoshop file to the reader: it must refuse it with a
// reason or decode it into pictures exactly as large as it announces, with
// set layer names that are unique. Shared by the libFuzzer target and the
// test that replays its corpus.
#include <string>

// An empty string, or what went wrong. The folder is unused.
std::string CheckPsdReader(const std::string& bytes, const std::wstring& folder);
