// kelvane-cli check-update: runs the editor's update check once and prints one
// line for scripts and administrators: "failed", "no update" or
// "update available: VERSION SIZE DATE"; the exit status is 2 after "failed".
#include "CliCommand.h"

#include "app/UserFolders.h"
#include "platform/TextConv.h"
#include "update/FileVersion.h"
#include "update/UpdateAddress.h"
#include "update/UpdateCheck.h"

#include <cstdlib>
#include <iostream>

namespace {

// 130 gives "1.30", independent of the locale.
std::string TwoDecimals(int32_t hundredths)
{
    const int64_t value = hundredths;
    const int64_t magnitude = std::llabs(value);
    std::string cents = std::to_string(magnitude % 100);
    if (cents.size() < 2)
        cents.insert(0, "0");
    return (value < 0 ? "-" : "") + std::to_string(magnitude / 100) + "." + cents;
}

// The printed line stays one line whatever the server sent.
std::string OneLine(const std::wstring& text)
{
    std::string out = platform::WideToUtf8(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return out;
}

int RunCheckUpdate(const CliArgs& args)
{
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, {"--url", "--version", "--language"}, options, error))
        return CliFail(error);
    if (!options.positional.empty() || !options.flags.empty())
        return CliFail("check-update takes only --url, --version and --language");

    int ownVersion = GetOwnVersionNumber();
    if (const std::string* version = options.Value("--version")) {
        const auto number = VersionNumberFromText(platform::Utf8ToWide(*version));
        if (!number)
            return CliFail("--version needs four numbers such as 1.2.0.0, not '" + *version + "'");
        ownVersion = *number;
    }
    const std::string* language = options.Value("--language");
    std::wstring address = GetUpdateManifestAddress(language ? platform::Utf8ToWide(*language) : std::wstring());
    if (const std::string* url = options.Value("--url"))
        address = platform::Utf8ToWide(*url);

    UpdateInfo info;
    switch (CheckForUpdate(ownVersion, GetUpdateFolder(), address, info)) {
    case kUpdateAvailable:
        std::cout << "update available: " << TwoDecimals(info.version) << " " << info.size << " "
                  << OneLine(info.releaseDate) << std::endl;
        break;
    case kUpdateNone:
        std::cout << "no update" << std::endl;
        break;
    default:
        std::cout << "failed" << std::endl;
        return kCliFailed;  // a script must not take a failed check for "no update"
    }
    return kCliOk;
}

const CliCommand kCheckUpdate("check-update",
                               "[--url URL] [--version A.B.C.D] [--language NAME]  run the update check once and print its result",
                               RunCheckUpdate);

}  // namespace
