#include "CliCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>

namespace {

std::vector<const CliCommand*>& Registry()
{
    static std::vector<const CliCommand*> commands;
    return commands;
}

// Where the synopsis ends and the summary begins: two spaces or a new line.
size_t SummaryStart(std::string_view usage)
{
    const size_t gap = std::min(usage.find("  "), usage.find('\n'));
    return gap == std::string_view::npos ? usage.size() : gap;
}

// Runs of white space (new lines included) become one space; none at the ends.
std::string OneLine(std::string_view text)
{
    std::istringstream words{std::string(text)};
    std::string word, out;
    while (words >> word)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

std::string Unbracketed(std::string word)
{
    while (!word.empty() && word.front() == '[')
        word.erase(0, 1);
    while (!word.empty() && word.back() == ']')
        word.pop_back();
    return word;
}

}  // namespace

CliCommand::CliCommand(const char* n, const char* u, CliHandler h) : name(n), usage(u), handler(h)
{
    Registry().push_back(this);
}

const std::vector<const CliCommand*>& CliCommands() { return Registry(); }

const CliCommand* FindCliCommand(const std::string& name)
{
    for (const CliCommand* c : Registry())
        if (name == c->name)
            return c;
    return nullptr;
}

std::string CliCommand::Synopsis() const
{
    const std::string_view text(usage);
    return OneLine(text.substr(0, SummaryStart(text)));
}

std::string CliCommand::Summary() const
{
    const std::string_view text(usage);
    return OneLine(text.substr(SummaryStart(text)));
}

std::vector<CliOptionSpec> CliCommand::Options() const
{
    std::vector<std::string> words;
    std::istringstream stream(Synopsis());
    for (std::string word; stream >> word;)
        words.push_back(word);
    std::vector<CliOptionSpec> options;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string name = Unbracketed(words[i]);
        if (!name.starts_with("--"))
            continue;
        const bool closed = words[i].back() == ']';
        const bool valueFollows = i + 1 < words.size() && !Unbracketed(words[i + 1]).starts_with("-");
        options.push_back({name, !closed && valueFollows});
    }
    return options;
}

std::string CliUsageLine(const CliCommand& command)
{
    const std::string synopsis = command.Synopsis();
    return std::string("usage: kelvane-cli ") + command.name + (synopsis.empty() ? "" : " " + synopsis);
}

int RunCliCommand(const CliCommand& command, const CliArgs& args)
{
    const std::vector<CliOptionSpec> options = command.Options();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            std::cout << CliUsageLine(command) << "\n" << command.Summary() << std::endl;
            return kCliOk;
        }
        if (word.size() <= 2 || !word.starts_with("--"))
            continue;
        const auto known = std::find_if(options.begin(), options.end(), [&](const CliOptionSpec& o) { return o.name == word; });
        if (known == options.end()) {
            std::cerr << "kelvane-cli " << command.name << ": unknown option '" << word << "'\n"
                      << CliUsageLine(command) << std::endl;
            return kCliFailed;
        }
        if (known->takesValue)
            ++i;  // its value may look like anything
    }
    return command.handler(args);
}

int CliFail(const std::string& message)
{
    std::cerr << "kelvane-cli: " << message << std::endl;
    return kCliFailed;
}

bool CliOptions::Has(const std::string& flag) const
{
    for (const auto& f : flags)
        if (f == flag)
            return true;
    return false;
}

const std::string* CliOptions::Value(const std::string& key) const
{
    for (const auto& [k, v] : values)
        if (k == key)
            return &v;
    return nullptr;
}

bool ParseCliOptions(const CliArgs& args, const std::vector<std::string>& valueKeys, CliOptions& out, std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.starts_with("--")) {
            bool takesValue = false;
            for (const auto& k : valueKeys)
                takesValue = takesValue || k == a;
            if (takesValue) {
                if (i + 1 >= args.size()) {
                    error = "option " + a + " needs a value";
                    return false;
                }
                out.values.emplace_back(a, args[++i]);
            } else {
                out.flags.push_back(a);
            }
        } else {
            out.positional.push_back(a);
        }
    }
    return true;
}

std::string JsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof(buf), "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string JsonFloat(double value)
{
    if (!std::isfinite(value))
        return "null";  // JSON has no NaN or infinity
    char buf[40];
    std::snprintf(buf, sizeof(buf), "%.9g", value);
    return buf;
}
