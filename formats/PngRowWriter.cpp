#include "PngRowWriter.h"

#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kOutputChunk = 256 * 1024;
// Fast packing: layer pictures are often photographs, where higher levels
// cost many times the time for a few per cent of size.
constexpr int kLevel = 2;
constexpr size_t kPixel = 4;

void PutBigEndian(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

uint8_t Paeth(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Row bytes filtered with `type` into out[1..], type into out[0]; the sum of
// the filtered bytes taken as signed, the usual measure of how well it packs.
uint64_t FilterRow(int type, const uint8_t* row, const uint8_t* up, size_t size, uint8_t* out)
{
    out[0] = static_cast<uint8_t>(type);
    uint64_t sum = 0;
    for (size_t i = 0; i < size; ++i) {
        const int a = i >= kPixel ? row[i - kPixel] : 0, b = up[i], c = i >= kPixel ? up[i - kPixel] : 0;
        int predicted = 0;
        switch (type) {
        case 1: predicted = a; break;
        case 2: predicted = b; break;
        case 3: predicted = (a + b) / 2; break;
        case 4: predicted = Paeth(a, b, c); break;
        default: break;
        }
        const uint8_t value = static_cast<uint8_t>(row[i] - predicted);
        out[i + 1] = value;
        sum += value < 128 ? value : 256 - value;
    }
    return sum;
}

}  // namespace

PngRowWriter::PngRowWriter() = default;

PngRowWriter::~PngRowWriter() { EndStream(); }

void PngRowWriter::EndStream()
{
    if (m_zipOpen)
        deflateEnd(m_zip.get());
    m_zipOpen = false;
}

bool PngRowWriter::WriteChunk(const char* type, const uint8_t* data, size_t size)
{
    uint8_t head[8];
    PutBigEndian(head, static_cast<uint32_t>(size));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0, head + 4, 4);
    if (size > 0)
        crc = crc32(crc, data, static_cast<uInt>(size));
    uint8_t tail[4];
    PutBigEndian(tail, static_cast<uint32_t>(crc));
    if (m_file.Write(head, 8) && (size == 0 || m_file.Write(data, size)) && m_file.Write(tail, 4))
        return true;
    m_error = m_file.LastError() ? m_file.LastError() : EIO;
    return false;
}

bool PngRowWriter::Open(const std::wstring& path, uint32_t width, uint32_t height)
{
    if (width == 0 || height == 0 || width > (1u << 24)) {
        m_error = EINVAL;
        return false;
    }
    if (!m_file.Open(path, platform::FileStream::Mode::CreateNew)) {
        m_error = errno;
        return false;
    }
    m_width = width;
    m_height = height;
    const size_t rowBytes = size_t(width) * kPixel;
    m_previous.assign(rowBytes, 0);
    m_filtered.assign(rowBytes + 1, 0);
    m_candidate.assign(rowBytes + 1, 0);
    m_output.assign(kOutputChunk, 0);
    m_zip = std::make_unique<z_stream_s>();
    std::memset(m_zip.get(), 0, sizeof(z_stream_s));
    if (deflateInit(m_zip.get(), kLevel) != Z_OK) {
        m_error = ENOMEM;
        return false;
    }
    m_zipOpen = true;
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    uint8_t header[13] = {};
    PutBigEndian(header, width);
    PutBigEndian(header + 4, height);
    header[8] = 8;  // bits per sample
    header[9] = 6;  // RGBA
    if (!m_file.Write(kSignature, sizeof kSignature)) {
        m_error = m_file.LastError();
        return false;
    }
    return WriteChunk("IHDR", header, sizeof header);
}

bool PngRowWriter::Deflate(const uint8_t* data, size_t size, bool last)
{
    z_stream_s& zip = *m_zip;
    zip.next_in = const_cast<uint8_t*>(data);
    zip.avail_in = static_cast<uInt>(size);
    for (;;) {
        zip.next_out = m_output.data();
        zip.avail_out = static_cast<uInt>(m_output.size());
        const int result = deflate(&zip, last ? Z_FINISH : Z_NO_FLUSH);
        if (result == Z_STREAM_ERROR) {
            m_error = EIO;
            return false;
        }
        const size_t produced = m_output.size() - zip.avail_out;
        if (produced > 0 && !WriteChunk("IDAT", m_output.data(), produced))
            return false;
        if (last ? result == Z_STREAM_END : zip.avail_in == 0 && zip.avail_out > 0)
            return true;
    }
}

bool PngRowWriter::AddRow(const uint8_t* rgba)
{
    if (!m_zipOpen || m_rows >= m_height) {
        m_error = EINVAL;
        return false;
    }
    const size_t size = m_previous.size();
    uint64_t best = UINT64_MAX;
    for (int type = 0; type <= 4; ++type) {
        const uint64_t sum = FilterRow(type, rgba, m_previous.data(), size, m_candidate.data());
        if (sum < best) {
            best = sum;
            m_filtered.swap(m_candidate);
        }
    }
    std::memcpy(m_previous.data(), rgba, size);
    ++m_rows;
    return Deflate(m_filtered.data(), m_filtered.size(), false);
}

bool PngRowWriter::Finish()
{
    if (!m_zipOpen || m_rows != m_height) {
        m_error = EINVAL;
        return false;
    }
    const bool written = Deflate(nullptr, 0, true) && WriteChunk("IEND", nullptr, 0);
    EndStream();
    if (!m_file.Close() && written) {
        m_error = errno ? errno : EIO;
        return false;
    }
    return written;
}
