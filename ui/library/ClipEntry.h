#pragma once
// One listed set: its ClipInfo2_t record together with the pixel buffer the
// record points at, and the small picture of the row view. Moving an entry
// keeps the record's pointer valid; entries are never copied.
#include "ui/ClipInfo.h"

#include <QImage>
#include <memory>
#include <string>

class CClipEntry {
public:
    CClipEntry() = default;
    CClipEntry(CClipEntry&&) noexcept = default;
    CClipEntry& operator=(CClipEntry&&) noexcept = default;
    CClipEntry(const CClipEntry&) = delete;
    CClipEntry& operator=(const CClipEntry&) = delete;

    // Nothing when the folder does not fit the record's path field: a cut
    // path would name another folder.
    static std::unique_ptr<CClipEntry> Make(const std::wstring& name, const std::wstring& folder);

    // Takes a picture of exactly 240 x 180 in Format_BGR888 (see
    // ThumbnailPicture.h); any other picture leaves the entry without one.
    void SetPicture(const QImage& picture);

    const ClipInfo2_t& Info() const { return m_info; }
    std::wstring Name() const;
    std::wstring Folder() const;
    bool HasPicture() const { return m_pixels != nullptr; }
    bool IsValid() const { return m_info.valid != 0; }

    // Views on the pixels (no copy); null without a picture.
    QImage LargePicture() const;
    const QImage& SmallPicture() const { return m_small; }

private:
    ClipInfo2_t m_info{};
    std::unique_ptr<uint8_t[]> m_pixels;
    QImage m_small;
};
