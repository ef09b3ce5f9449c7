// kelvane-cli: the editor's engine and set formats from the command line.
#include "CliCommand.h"

#include "platform/TextConv.h"

#include <cstring>
#include <iostream>

namespace {

void PrintUsage()
{
    std::cerr << "usage: kelvane-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const CliCommand* c : CliCommands())
        std::cerr << "  " << c->name << " " << c->usage << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    platform::LocaleCharset();  // applies the user's locale once, numbers stay "C"
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        PrintUsage();
        return argc < 2 ? kCliFailed : kCliOk;
    }
    for (const CliCommand* c : CliCommands()) {
        if (std::strcmp(c->name, argv[1]) == 0)
            return c->handler(CliArgs(argv + 2, argv + argc));
    }
    std::cerr << "kelvane-cli: unknown command '" << argv[1] << "'\n";
    PrintUsage();
    return kCliFailed;
}
