#include "TestPictures.h"

#include <lodepng.h>

Picture MakeRampPicture(uint32_t width, uint32_t height)
{
    Picture p{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* px = &p.rgba[(size_t(y) * width + x) * 4];
            px[0] = static_cast<uint8_t>(x * 255 / (width - 1));
            px[1] = static_cast<uint8_t>(y * 255 / (height - 1));
            px[2] = ((x / 4 + y / 4) % 2) ? 200 : 40;
            px[3] = 255;
        }
    }
    return p;
}

Picture MakeCheckerboard(uint32_t size, uint32_t squares)
{
    Picture p{size, size, std::vector<uint8_t>(size_t(size) * size * 4)};
    const uint32_t field = size / squares;
    for (uint32_t y = 0; y < size; ++y) {
        for (uint32_t x = 0; x < size; ++x) {
            const uint32_t fx = x / field;
            const uint32_t fy = y / field;
            uint8_t rgb[3];
            const uint8_t shade = ((fx + fy) % 2) ? 255 : 0;
            rgb[0] = rgb[1] = rgb[2] = shade;
            const bool left = fx == 0, right = fx == squares - 1, top = fy == 0, bottom = fy == squares - 1;
            if (top && left) { rgb[0] = 255; rgb[1] = 0; rgb[2] = 0; }
            if (top && right) { rgb[0] = 0; rgb[1] = 255; rgb[2] = 0; }
            if (bottom && right) { rgb[0] = 0; rgb[1] = 0; rgb[2] = 255; }
            if (bottom && left) { rgb[0] = 255; rgb[1] = 255; rgb[2] = 0; }
            uint8_t* px = &p.rgba[(size_t(y) * size + x) * 4];
            px[0] = rgb[0];
            px[1] = rgb[1];
            px[2] = rgb[2];
            px[3] = 255;
        }
    }
    return p;
}

bool WritePicturePng(const std::string& path, const Picture& picture)
{
    return lodepng::encode(path, picture.rgba, picture.width, picture.height, LCT_RGBA, 8) == 0;
}

bool WriteTexelsPng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint16_t>& texels)
{
    std::vector<unsigned char> raw(texels.size() * 2);
    for (size_t i = 0; i < texels.size(); ++i) {
        raw[2 * i] = static_cast<unsigned char>(texels[i] >> 8);
        raw[2 * i + 1] = static_cast<unsigned char>(texels[i]);
    }
    lodepng::State state;
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 16;
    state.info_png.color.colortype = LCT_RGBA;
    state.info_png.color.bitdepth = 16;
    state.encoder.auto_convert = 0;
    std::vector<unsigned char> png;
    return lodepng::encode(png, raw, width, height, state) == 0 && lodepng::save_file(png, path) == 0;
}
