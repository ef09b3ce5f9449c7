#pragma once
// Feeds one candidate language file to the language system: as the current
// language's file, as Lang.ini, and its text as a printf format. Shared by the
// libFuzzer target and the test that replays its corpus.
#include <string>

// Uses the folder as the language root; returns an empty string, or what
// went wrong.
std::string CheckLangFileInput(const std::string& bytes, const std::wstring& root);
