#pragma once
// Where the maker's live-production programs keep their virtual sets.
#include <string>

// The first "<common data>/Merokai/<program>/Scene" folder, for the programs
// Quillan, Tolvenar, Zembra and Fennor in this order, that holds both a
// "VirtualSets" and a "MultiViews" folder. False when none does.
bool FindSetsRoot(std::wstring& folder);
