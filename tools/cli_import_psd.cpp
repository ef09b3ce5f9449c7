// kelvane-cli import-psd FILE.psd PARENT [--name NAME] [--to native|vmix]:
// a layered Photoshop file as the new set folder PARENT/NAME (NAME: the
// file's name without .psd unless given), one set layer per PSD layer. What
// the set shows differently from the file is listed on standard output.
#include "CliCommand.h"

#include "formats/PsdSet.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <cstdio>

namespace {

bool IsPlainFolderName(const std::wstring& name)
{
    return !name.empty() && name != L"." && name != L".." && name.find(L'/') == std::wstring::npos;
}

int RunImportPsd(const CliArgs& args)
{
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, {"--to", "--name"}, options, error))
        return CliFail(error);
    const std::string* format = options.Value("--to");
    if (options.positional.size() != 2 || (format && *format != "vmix" && *format != "native"))
        return CliFail("usage: kelvane-cli import-psd FILE.psd PARENT [--name NAME] [--to native|vmix]");
    const std::wstring psd = platform::Utf8ToWide(options.positional[0]);
    const std::wstring parent = platform::Utf8ToWide(options.positional[1]);
    const std::string* given = options.Value("--name");
    const std::wstring name = given ? platform::Utf8ToWide(*given) : platform::StemPart(psd);
    if (!IsPlainFolderName(name))
        return CliFail("the set name must be a plain folder name");
    if (!platform::FolderExists(parent))
        return CliFail(options.positional[1] + ": no such folder");

    PsdDocument document;
    if (!ReadPsdDocument(psd, document, error))
        return CliFail(options.positional[0] + " " + error);
    const std::wstring target = platform::JoinPath(parent, name);
    const PsdSetFormat to = format && *format == "vmix" ? PsdSetFormat::Vmix : PsdSetFormat::Native;
    PsdImportReport report = document.report;
    if (!WritePsdSet(document, target, to, report, error))
        return CliFail(error);
    const auto leftOut = std::count_if(report.begin(), report.end(),
                                       [](const PsdReportEntry& e) { return e.change == PsdChange::HiddenLeftOut; });
    std::printf("%s: %zu layers\n", platform::WideToUtf8(target).c_str(),
                document.layers.size() - static_cast<size_t>(leftOut));
    for (const PsdReportEntry& entry : report)
        std::printf("  %s\n", platform::WideToUtf8(DescribePsdChange(entry)).c_str());
    return kCliOk;
}

const CliCommand kImportPsd("import-psd", "FILE.psd PARENT [--name NAME] [--to native|vmix]  a layered PSD as a new set",
                            RunImportPsd);

}  // namespace
