#pragma once
// Feeds one candidate library folder (a folder archive of sets: "a/scene.tvn",
// "b/config.xml", "b/thumbnail.jpg", ...) to the library scanner's reading of
// each set folder under every library kind, and to the set tooltips. Shared
// by the libFuzzer target and the test that replays its corpus.
#include <string>

std::string CheckLibraryScan(const std::string& bytes, const std::wstring& folder);
