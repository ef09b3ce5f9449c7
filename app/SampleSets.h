#pragma once
// The sample sets that ship with the program. On the first run (no recent
// list yet) each one is copied into the user's sets folder, where it can be
// edited and saved, and put on the recent list.
#include <cstdint>
#include <string>

class CRecentSetList;

// The shipped samples: "samples" in the program's data folder.
std::wstring GetShippedSamplesFolder();

// Copies every set folder of samplesFolder that setsFolder does not hold yet
// and lists it (with the given time) in the list, which is then written.
// Does nothing when the list's file exists already. Returns the number of
// sets added. A copy is made in a temporary folder and renamed into place,
// so a failed copy leaves nothing behind.
int OfferSampleSetsOnFirstRun(const std::wstring& samplesFolder, const std::wstring& setsFolder,
                              CRecentSetList& list, int64_t now);
