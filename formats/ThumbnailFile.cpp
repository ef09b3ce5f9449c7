#include "ThumbnailFile.h"

#include "platform/FileStream.h"
#include "platform/FileUtil.h"
#include "platform/Image.h"

#include <cerrno>

using platform::FileStream;

bool IsJpegFile(const std::wstring& path)
{
    FileStream file;
    if (!file.Open(path, FileStream::Mode::Read))
        return false;
    const int64_t size = file.Size();
    unsigned char head[2] = {}, tail[2] = {};
    if (size < 4 || !file.ReadExact(head, 2) || !file.Seek(size - 2) || !file.ReadExact(tail, 2))
        return false;
    return head[0] == 0xFF && head[1] == 0xD8 && tail[0] == 0xFF && tail[1] == 0xD9;
}

std::wstring EnsureJpegThumbnail(const std::wstring& path)
{
    if (path.empty()) {
        errno = ENOENT;
        return {};
    }
    if (IsJpegFile(path))
        return path;
    platform::Image image;
    if (!image.Load(path)) {
        errno = platform::FileExists(path) ? EINVAL : ENOENT;
        return {};
    }
    const std::wstring converted = path + L".jpg";
    if (!image.SaveJpeg(converted))
        return {};
    return converted;
}
