#pragma once
// The virtual sets under a folder, for batch work. Every folder holding a
// "scene.tvn" or a "config.xml" is one set; the search does not go further
// into a set's folder, nor into hidden folders or links to folders. Paths are
// the system's own bytes, so any file name passes through unchanged.
#include <string>
#include <vector>

struct FoundSet {
    std::string folder;    // the set's folder
    std::string relative;  // its path under the searched folder; its own name when that folder is the set
};

struct UnreadableFolder {
    std::string folder;
    std::string reason;
};

struct SetTree {
    std::vector<FoundSet> sets;  // in name order, a folder's sets before those of its next sibling
    std::vector<UnreadableFolder> unreadable;
};

// leaveOut: a folder not to search, such as the batch's own output when it
// lies inside root; empty for none.
SetTree FindSetsUnder(const std::string& root, const std::string& leaveOut);
