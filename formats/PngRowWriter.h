#pragma once
// Writes an 8-bit RGBA PNG a row at a time, so a picture of any height
// costs only a few rows of memory. Each row gets the filter that leaves the
// smallest sum of differences, as common encoders choose.
#include "platform/FileStream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct z_stream_s;

class PngRowWriter {
public:
    PngRowWriter();
    ~PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    // Creates the file, which must not exist yet.
    bool Open(const std::wstring& path, uint32_t width, uint32_t height);
    bool AddRow(const uint8_t* rgba);
    // Writes the rest and closes the file; false when rows are missing.
    bool Finish();
    // errno of the last failure.
    int LastError() const { return m_error; }

private:
    bool WriteChunk(const char* type, const uint8_t* data, size_t size);
    bool Deflate(const uint8_t* data, size_t size, bool last);
    void EndStream();

    platform::FileStream m_file;
    std::unique_ptr<z_stream_s> m_zip;
    bool m_zipOpen = false;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint32_t m_rows = 0;
    int m_error = 0;
    std::vector<uint8_t> m_previous;
    std::vector<uint8_t> m_filtered;  // the best filter's row, its type byte first
    std::vector<uint8_t> m_candidate;
    std::vector<uint8_t> m_output;
};
