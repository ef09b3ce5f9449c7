#pragma once
// Sub-commands of kelvane-cli. Each command lives in its own cli_*.cpp and
// registers itself with a static CliCommand object.
//
// The usage text is the command's synopsis, then two spaces (or a new line)
// and a one-line summary: "SRC PARENT --to vmix|native [--overwrite]  write a
// set". The synopsis is also the list of options the command accepts: an
// option written "--key VALUE" or "[--key VALUE]" takes a value, "[--flag]"
// does not. Anything else starting with "--" is refused before the command
// runs.
#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;  // the words after the command name
using CliHandler = int (*)(const CliArgs& args);

struct CliOptionSpec {
    std::string name;  // "--to"
    bool takesValue = false;
};

struct CliCommand {
    CliCommand(const char* name, const char* usage, CliHandler handler);
    const char* name;
    const char* usage;
    CliHandler handler;

    std::string Synopsis() const;  // "SRC PARENT --to vmix|native [--overwrite]"
    std::string Summary() const;   // "write a set", on one line
    std::vector<CliOptionSpec> Options() const;
};

const std::vector<const CliCommand*>& CliCommands();
const CliCommand* FindCliCommand(const std::string& name);

// Exit codes shared by the commands (documented in kelvane-cli(1)).
inline constexpr int kCliOk = 0;
inline constexpr int kCliSomeFailed = 1;  // a batch finished, but some of its items failed
inline constexpr int kCliFailed = 2;      // the command failed, or was used wrongly

// Runs a command with its words: "--help" prints its usage; an option its
// synopsis does not name is refused with the usage line.
int RunCliCommand(const CliCommand& command, const CliArgs& args);

// "usage: kelvane-cli NAME SYNOPSIS".
std::string CliUsageLine(const CliCommand& command);

// Prints "kelvane-cli: <message>" on standard error and returns kCliFailed.
int CliFail(const std::string& message);

// Small argument helpers: "--name value" options and the remaining words.
struct CliOptions {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> values;  // --key value
    std::vector<std::string> flags;                           // --flag
    bool Has(const std::string& flag) const;
    const std::string* Value(const std::string& key) const;
};
// valueKeys names the options that take a value; anything else starting with
// "--" is a flag. Returns false (with a message in error) on a missing value.
bool ParseCliOptions(const CliArgs& args, const std::vector<std::string>& valueKeys, CliOptions& out, std::string& error);

// JSON text helpers for the commands that print JSON.
std::string JsonString(const std::string& utf8);
std::string JsonFloat(double value);  // "%.9g", reads back to the same float
