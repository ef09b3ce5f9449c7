// kelvane-cli check-uv FILE: the UV-map check the layer panel applies.
#include "CliCommand.h"

#include "formats/UvMapCheck.h"
#include "platform/TextConv.h"

#include <iostream>

namespace {

int RunCheckUv(const CliArgs& args)
{
    if (args.size() != 1)
        return CliFail("usage: kelvane-cli check-uv FILE");
    UvMapImageInfo info;
    if (!CheckUvMapImage(platform::Utf8ToWide(args[0]), &info))
        return CliFail(args[0] + ": " + info.reason);
    std::cout << "ok " << info.width << " x " << info.height << " x " << info.bitsPerPixel << "\n";
    return kCliOk;
}

const CliCommand kCheckUv("check-uv", "FILE  accept FILE as a UV map (16-bit RGBA PNG) or say why not", RunCheckUv);

}  // namespace
