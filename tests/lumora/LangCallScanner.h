#pragma once
// Finds the string ids that source code passes to Lang::LoadLangString and
// Lang::FormatLangString, so a test can check that every one has a text in
// both languages. Ids are expected as numbers at the call; a call that passes
// something else names its ids in a comment on its line or the line above:
//     // lang-ids: 108 109 110 111
#include <string>
#include <vector>

namespace langtest {

struct LangCall {
    int line = 0;
    std::string function;
    std::vector<unsigned> ids;
    bool sectionForm = false;  // LoadLangString(section, key): no string id
    bool unresolved = false;   // neither a number nor a lang-ids comment
};

std::vector<LangCall> ScanLangCalls(const std::string& source);

// Every C++ source and header below the folder, leaving out build folders
// (those holding CMakeCache.txt), hidden folders and the given sub-folders.
std::vector<std::string> SourceFiles(const std::string& root, const std::vector<std::string>& excludedFolders);

}  // namespace langtest
