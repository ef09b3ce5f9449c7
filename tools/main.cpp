// kelvane-cli: the editor's engine and set formats from the command line.
#include "CliCommand.h"

#include "platform/HugePageBuffers.h"
#include "platform/TextConv.h"
#include "update/FileVersion.h"

#include <algorithm>
#include <iostream>

namespace {

constexpr char kShortUsage[] = "usage: kelvane-cli COMMAND [ARGS]   ('kelvane-cli --help' lists the commands)";

void PrintHelp()
{
    std::vector<const CliCommand*> commands = CliCommands();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand* a, const CliCommand* b) { return std::string_view(a->name) < b->name; });
    std::cout << "usage: kelvane-cli COMMAND [ARGS]\n"
                 "       kelvane-cli COMMAND --help\n"
                 "       kelvane-cli --help | --version\n\n"
                 "Virtual sets (native scene.tvn packages and vMix config.xml folders) without the editor's window.\n\n"
                 "Commands:\n";
    for (const CliCommand* c : commands) {
        const std::string synopsis = c->Synopsis();
        std::cout << "  " << c->name << (synopsis.empty() ? "" : " ") << synopsis << "\n      " << c->Summary() << "\n";
    }
    std::cout << "\nExit status: 0 done; 1 convert-all finished but some sets failed; 2 the command failed or was\n"
                 "used wrongly. See kelvane-cli(1).\n";
}

int Refuse(const std::string& message)
{
    std::cerr << "kelvane-cli: " << message << "\n" << kShortUsage << std::endl;
    return kCliFailed;
}

// "help" alone, or "help COMMAND" for one command's usage.
int Help(const CliArgs& words)
{
    if (words.size() < 2) {
        PrintHelp();
        return kCliOk;
    }
    const CliCommand* command = FindCliCommand(words[1]);
    return command ? RunCliCommand(*command, {"--help"}) : Refuse("unknown command '" + words[1] + "'");
}

}  // namespace

int main(int argc, char** argv)
{
    platform::RestartWithHugePageBuffers(argv);
    platform::LocaleCharset();  // applies the user's locale once, numbers stay "C"
    const CliArgs words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << kShortUsage << std::endl;
        return kCliFailed;
    }
    const std::string& first = words.front();
    if (first == "--help" || first == "-h" || first == "help")
        return Help(words);
    if (first == "--version" || first == "-v") {
        std::cout << "kelvane-cli " << platform::WideToUtf8(GetFileVersionText()) << std::endl;
        return kCliOk;
    }
    if (first.starts_with("-"))
        return Refuse("unknown option '" + first + "'");
    const CliCommand* command = FindCliCommand(first);
    if (!command)
        return Refuse("unknown command '" + first + "'");
    return RunCliCommand(*command, CliArgs(words.begin() + 1, words.end()));
}
