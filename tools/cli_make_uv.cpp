// kelvane-cli make-uv: write a 16-bit RGBA UV map that places the whole source
// picture onto a quadrilateral given by its four corners.
#include "CliCommand.h"

#include "formats/UvMapMaker.h"
#include "platform/TextConv.h"

#include <charconv>
#include <iostream>

namespace {

bool ParseNumber(std::string_view text, double& value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseSize(const std::string& text, uint32_t& width, uint32_t& height)
{
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    const std::string_view w(text.data(), x);
    const std::string_view h(text.data() + x + 1, text.size() - x - 1);
    const auto [wEnd, wEc] = std::from_chars(w.data(), w.data() + w.size(), width);
    const auto [hEnd, hEc] = std::from_chars(h.data(), h.data() + h.size(), height);
    return !w.empty() && !h.empty() && wEc == std::errc() && hEc == std::errc() && wEnd == w.data() + w.size() &&
           hEnd == h.data() + h.size();
}

bool ParseQuad(const std::string& text, UvQuad& quad)
{
    double values[8];
    size_t start = 0;
    for (int i = 0; i < 8; ++i) {
        const size_t comma = text.find(',', start);
        const bool last = i == 7;
        if (last != (comma == std::string::npos))
            return false;  // fewer or more than eight numbers
        const size_t end = last ? text.size() : comma;
        if (!ParseNumber(std::string_view(text).substr(start, end - start), values[i]))
            return false;
        start = end + 1;
    }
    for (int i = 0; i < 4; ++i) {
        quad.x[i] = values[2 * i];
        quad.y[i] = values[2 * i + 1];
    }
    return true;
}

int RunMakeUv(const CliArgs& args)
{
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(args, {"--size", "--quad"}, options, error))
        return CliFail(error);
    if (!options.flags.empty())
        return CliFail("unknown option " + options.flags.front());
    const std::string* size = options.Value("--size");
    const std::string* corners = options.Value("--quad");
    if (!size || !corners || options.positional.size() != 1)
        return CliFail("usage: make-uv --size WxH --quad x1,y1,x2,y2,x3,y3,x4,y4 OUT.png");

    uint32_t width = 0;
    uint32_t height = 0;
    if (!ParseSize(*size, width, height))
        return CliFail("--size must be WIDTHxHEIGHT in pixels, e.g. 1920x1080, not '" + *size + "'");
    UvQuad quad;
    if (!ParseQuad(*corners, quad))
        return CliFail("--quad must be eight numbers separated by commas (top-left, top-right, bottom-right, "
                       "bottom-left corners as x,y in pixels of the map), not '" + *corners + "'");

    const std::string& out = options.positional.front();
    if (!WriteUvMapFile(platform::Utf8ToWide(out), width, height, quad, error))
        return CliFail(error);
    std::cout << "{\"path\": " << JsonString(out) << ", \"width\": " << width << ", \"height\": " << height
              << ", \"bitsPerPixel\": 64}" << std::endl;
    return kCliOk;
}

const CliCommand kMakeUv("make-uv",
                         "--size WxH --quad x1,y1,x2,y2,x3,y3,x4,y4 OUT.png\n"
                         "      write a 16-bit RGBA UV map placing the whole picture onto the four corners\n"
                         "      (top-left, top-right, bottom-right, bottom-left, in pixels of the map)",
                         RunMakeUv);

}  // namespace
