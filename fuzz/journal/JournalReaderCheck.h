#pragma once
// Feeds one candidate recovery journal (a folder archive: "journal.xml",
// "state-1/scene.tvn", ...) to the journal readers. Shared by the libFuzzer
// target and the test that replays its corpus.
#include <string>

// Unpacks the journal into the folder, reads it, and returns an empty string
// or what went wrong.
std::string CheckJournalReader(const std::string& bytes, const std::wstring& folder);
