#include "CliCommand.h"

#include <cmath>
#include <cstdio>
#include <iostream>

namespace {
std::vector<const CliCommand*>& Registry()
{
    static std::vector<const CliCommand*> commands;
    return commands;
}
}  // namespace

CliCommand::CliCommand(const char* n, const char* u, CliHandler h) : name(n), usage(u), handler(h)
{
    Registry().push_back(this);
}

const std::vector<const CliCommand*>& CliCommands() { return Registry(); }

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
