#pragma once
// Feeds one candidate scene file to every reader of the native format and
// checks that they agree and read only what the file holds. Shared by the
// libFuzzer target and the test that replays its corpus.
#include <string>

// Writes the bytes to "scene.tvn" in the folder (which the loader, when
// withLoader, also unpacks into) and returns an empty string, or what went
// wrong.
std::string CheckSceneReaders(const std::string& bytes, const std::wstring& folder, bool withLoader = true);
