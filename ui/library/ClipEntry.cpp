#include "ClipEntry.h"

#include "LibraryKinds.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <cstring>

namespace {

// At most limit - 1 units, never ending inside a surrogate pair.
size_t FittingUnits(const std::u16string& text, size_t limit)
{
    size_t n = std::min(text.size(), limit - 1);
    if (n > 0 && n < text.size() && (text[n - 1] & 0xFC00) == 0xD800)
        --n;
    return n;
}

}  // namespace

std::unique_ptr<CClipEntry> CClipEntry::Make(const std::wstring& name, const std::wstring& folder)
{
    const std::u16string path = platform::WideToUtf16(folder);
    if (path.empty() || path.size() >= static_cast<size_t>(kClipPathLength))
        return nullptr;
    auto entry = std::make_unique<CClipEntry>();
    const std::u16string title = platform::WideToUtf16(name);
    std::copy_n(title.begin(), FittingUnits(title, kClipNameLength), entry->m_info.name);
    std::copy(path.begin(), path.end(), entry->m_info.path);
    entry->m_info.valid = 1;
    entry->m_info.listed = 1;
    return entry;
}

void CClipEntry::SetPicture(const QImage& picture)
{
    if (picture.width() != kThumbLargeWidth || picture.height() != kThumbLargeHeight ||
        picture.format() != QImage::Format_BGR888)
        return;
    constexpr int rowBytes = kThumbLargeWidth * 3;
    m_pixels = std::make_unique<uint8_t[]>(kClipThumbBytes);
    for (int y = 0; y < kThumbLargeHeight; ++y)
        std::memcpy(m_pixels.get() + y * rowBytes, picture.constScanLine(y), rowBytes);
    m_info.thumbPixels = m_pixels.get();
    m_info.thumbSize = kClipThumbBytes;
    m_small = LargePicture().scaled(kThumbSmallWidth, kThumbSmallHeight, Qt::IgnoreAspectRatio,
                                    Qt::SmoothTransformation);
}

std::wstring CClipEntry::Name() const { return platform::Utf16ToWide(m_info.name); }

std::wstring CClipEntry::Folder() const { return platform::Utf16ToWide(m_info.path); }

QImage CClipEntry::LargePicture() const
{
    if (!m_pixels)
        return {};
    return QImage(m_pixels.get(), kThumbLargeWidth, kThumbLargeHeight, kThumbLargeWidth * 3, QImage::Format_BGR888);
}
