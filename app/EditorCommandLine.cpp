#include "EditorCommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Qt's options that the editor lets through to QApplication. The platform
// options are not among them: the preview needs X11.
constexpr std::array<std::string_view, 10> kQtOptionsWithValue = {
    "display", "geometry", "style", "stylesheet", "platformtheme", "qwindowgeometry", "qwindowicon", "qwindowtitle",
    "session", "name"};
constexpr std::array<std::string_view, 5> kQtFlags = {"reverse", "widgetcount", "sync", "nograb", "dograb"};

bool Contains(const auto& list, std::string_view word) { return std::find(list.begin(), list.end(), word) != list.end(); }

// "-style", "--style" and "-style=fusion" all name "style".
std::string_view QtOptionName(std::string_view word)
{
    word.remove_prefix(word.starts_with("--") ? 2 : 1);
    return word.substr(0, word.find('='));
}

}  // namespace

EditorCommandLine ParseEditorCommandLine(const std::vector<std::string>& words)
{
    EditorCommandLine result;
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.empty() || word == "-" || word[0] != '-') {
            if (!result.set.empty()) {
                result.action = EditorCommandLine::Action::Refuse;
                result.error = "one set at a time: '" + result.set + "' and '" + word + "'";
                return result;
            }
            result.set = word;
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "-h") {
            result.action = EditorCommandLine::Action::Help;
            return result;
        } else if (word == "--version" || word == "-v") {
            result.action = EditorCommandLine::Action::Version;
            return result;
        } else if (const std::string_view name = QtOptionName(word); Contains(kQtFlags, name) && word.find('=') == std::string::npos) {
            continue;
        } else if (Contains(kQtOptionsWithValue, name)) {
            const size_t equals = word.find('=');
            std::string value;
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
            } else if (i + 1 < words.size()) {
                value = words[++i];
            } else {
                result.action = EditorCommandLine::Action::Refuse;
                result.error = "option '" + word + "' needs a value";
                return result;
            }
            if (name == "display")
                result.displayName = value;
        } else {
            result.action = EditorCommandLine::Action::Refuse;
            result.error = "unknown option '" + word + "'";
            return result;
        }
    }
    return result;
}

std::string EditorUsageLine() { return "usage: kelvane [OPTION]... [SET]"; }

std::string EditorHelpText()
{
    return EditorUsageLine() +
           "\n"
           "Edit virtual studio sets: picture layers over a video canvas, with camera shots,\n"
           "saved as native scene.tvn packages or as vMix virtual-set folders.\n"
           "\n"
           "SET is a set folder, its scene.tvn or its config.xml (a file:// address works too).\n"
           "When an editor is already running, the set opens in that window.\n"
           "\n"
           "Options:\n"
           "  -h, --help       show this help and exit\n"
           "  -v, --version    show the version and exit\n"
           "  --               end of options (for a set whose name begins with '-')\n"
           "  -display NAME    the X display to use, instead of $DISPLAY\n"
           "Qt's window options (-geometry, -style, -stylesheet, -reverse, ...) are accepted too.\n"
           "\n"
           "Exit status: 0 closed normally (or the set was handed to the running editor);\n"
           "1 no X display could be opened; 2 the command line was wrong.\n"
           "See kelvane(1) and kelvane-cli(1).\n";
}
