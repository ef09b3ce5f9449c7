// kelvane-cli new SET-FOLDER --template N: start a vMix set folder, empty
// (N = -1) or from one of the twelve multi-view templates (0 to 11).
#include "CliCommand.h"

#include "formats/MultiViewTemplates.h"
#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cerrno>
#include <charconv>
#include <cstring>

namespace {

bool ParseTemplateIndex(const std::string& text, int& index)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), index);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && index >= -1 &&
           index < kMultiViewTemplateCount;
}

int RunNew(const CliArgs& args)
{
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, {"--template"}, options, error))
        return CliFail(error);
    const std::string* templateText = options.Value("--template");
    int index = 0;
    if (options.positional.size() != 1 || !templateText || !ParseTemplateIndex(*templateText, index))
        return CliFail("usage: kelvane-cli new SET-FOLDER --template N   (N = -1 for an empty set, 0 to 11)");
    const std::wstring folder = platform::Utf8ToWide(options.positional[0]);
    if (!platform::CreateFolderTree(folder))
        return CliFail(options.positional[0] + ": " + std::strerror(errno));
    const bool saved = index < 0 ? WriteEmptyVmixConfig(folder) : WriteVmixTemplateConfig(folder, index);
    if (!saved)
        return CliFail(options.positional[0] + ": config.xml could not be written");
    return kCliOk;
}

const CliCommand kNew("new", "SET-FOLDER --template N  start a vMix set, empty (-1) or from template 0-11", RunNew);

}  // namespace
