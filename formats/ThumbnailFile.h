#pragma once
// A set's thumbnail is stored as JPEG in both set formats.
#include <string>

// True when the file begins with FF D8 and ends with FF D9.
bool IsJpegFile(const std::wstring& path);

// The JPEG file to store for a thumbnail: the file itself when it is a JPEG,
// else its conversion saved beside it as "<path>.jpg". Empty (errno set) when
// there is no path or the picture cannot be read or converted.
std::wstring EnsureJpegThumbnail(const std::wstring& path);
