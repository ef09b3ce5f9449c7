#pragma once
// Sub-commands of kelvane-cli. Each command lives in its own cli_*.cpp and
// registers itself with a static CliCommand object.
#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;  // the words after the command name
using CliHandler = int (*)(const CliArgs& args);

struct CliCommand {
    CliCommand(const char* name, const char* usage, CliHandler handler);
    const char* name;
    const char* usage;
    CliHandler handler;
};

const std::vector<const CliCommand*>& CliCommands();

// Exit codes shared by the commands.
inline constexpr int kCliOk = 0;
inline constexpr int kCliFailed = 2;

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
