#pragma once
// A small picture of a layer's image or UV map with its size and depth
// ("%d x %d x %d") below it, or a note when there is no usable picture.
#include <QDateTime>
#include <QImage>
#include <QWidget>
#include <string>

class CPicturePreview : public QWidget {
public:
    explicit CPicturePreview(QWidget* parent = nullptr);

    // Reads the picture when it is another one than shown (another path, or
    // the file changed since); an empty path shows "undefined". While the
    // area is hidden the file is read only once it is needed, so a set
    // opening behind another page does not decode its pictures twice.
    void SetPath(const std::wstring& path);
    const std::wstring& Path() const { return m_path; }
    // The caption under the picture, empty when none is shown.
    QString Caption() const;
    bool HasPicture() const;
    // How often a file was decoded, for telling a reload from a repeat.
    int DecodeCount() const { return m_decodes; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Decodes the file set last, if it was not yet.
    void DecodePending() const;

    std::wstring m_path;
    QDateTime m_modified;  // of the file read
    qint64 m_fileSize = -1;
    // The picture, decoded on first need.
    mutable bool m_pending = false;
    mutable QImage m_picture;     // reduced to what the area can show
    mutable QSize m_pictureSize;  // the file's own size
    mutable int m_bitsPerPixel = 0;
    mutable int m_decodes = 0;
};

// Bits per pixel of the file as its PNG header gives them (colour type 6
// counts 4 channels, any other 3), or 0 when it is no PNG.
int PngBitsPerPixel(const std::wstring& path);
