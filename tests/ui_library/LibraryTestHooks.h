#pragma once
// Message boxes, the folder chooser and the shell's "open" answered by the
// test (apart from the frame headers, which define IDOK as well).
#include <string>
#include <utility>
#include <vector>

namespace librarytest {

struct DialogAnswers {
    bool yes = false;                // the answer to a question box
    std::wstring folder;             // what the folder chooser picks
    std::vector<std::pair<std::wstring, int>> questions;  // text and button flags
    std::vector<std::wstring> opened;                     // shell "open" targets
};

void AnswerDialogs(DialogAnswers* answers);  // null restores the real ones
int YesNoDefaultNoFlags();

}  // namespace librarytest
