#pragma once
// The editor's command line: kelvane [OPTION]... [SET]. Read before any
// window exists, so --help and --version work without a display.
#include <string>
#include <vector>

struct EditorCommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    std::string set;          // the set to open, as given (a path or a file:// URL); empty for none
    std::string displayName;  // the X display named by -display, else empty
    std::string error;        // why the command line was refused
};

// words: the arguments after the program name. Qt's own display options
// (-display, -geometry, -style, ...) pass, with their values; "--" ends the
// options.
EditorCommandLine ParseEditorCommandLine(const std::vector<std::string>& words);

std::string EditorUsageLine();
std::string EditorHelpText();

// Exit status of the editor (documented in kelvane(1)).
inline constexpr int kEditorExitOk = 0;
inline constexpr int kEditorExitNoDisplay = 1;
inline constexpr int kEditorExitUsage = 2;
