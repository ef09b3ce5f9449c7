#include "PsdChannelRows.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

enum Compression { kRaw = 0, kRunLength = 1, kZip = 2, kZipPredicted = 3 };

constexpr size_t kZipInput = 16 * 1024;

bool Damaged(std::string& error, const char* what)
{
    error = std::string("is damaged (") + what + ")";
    return false;
}

uint16_t LinearToSrgb(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 65535;
    const float encoded = value <= 0.0031308f ? value * 12.92f : 1.055f * std::pow(value, 1.0f / 2.4f) - 0.055f;
    return static_cast<uint16_t>(std::lround(encoded * 65535.0f));
}

uint16_t LinearToSample(float value)
{
    if (!(value > 0.0f))
        return 0;
    return value >= 1.0f ? 65535 : static_cast<uint16_t>(std::lround(value * 65535.0f));
}

}  // namespace

PsdChannelRows::PsdChannelRows() = default;

PsdChannelRows::~PsdChannelRows()
{
    if (m_zipOpen)
        inflateEnd(m_zip.get());
}

bool PsdChannelRows::Start(const PsdBytes& bytes, int compression, uint64_t begin, uint64_t end, const PsdPlane& plane,
                           std::string& error)
{
    m_plane = plane;
    m_compression = compression;
    m_rowBytes = size_t(plane.width) * static_cast<size_t>(plane.depth / 8);
    m_row = 0;
    m_bytes.assign(m_rowBytes, 0);
    m_data = std::make_unique<PsdCursor>(bytes, begin, end);
    if (compression < kRaw || compression > kZipPredicted)
        return Damaged(error, "a channel of an unknown compression");
    if (compression == kZip || compression == kZipPredicted) {
        m_zip = std::make_unique<z_stream_s>();
        std::memset(m_zip.get(), 0, sizeof(z_stream_s));
        if (inflateInit(m_zip.get()) != Z_OK)
            return Damaged(error, "a zip channel cannot be started");
        m_zipOpen = true;
    }
    return true;
}

bool PsdChannelRows::OpenLayerChannel(const PsdBytes& bytes, const PsdChannel& channel, const PsdPlane& plane,
                                      std::string& error)
{
    if (channel.length < 2)
        return plane.width == 0 || plane.height == 0 ? Start(bytes, kRaw, 0, 0, plane, error) : Damaged(error, "a channel without data");
    PsdCursor head(bytes, channel.offset, channel.offset + 2);
    const int compression = head.U16();
    const uint64_t begin = channel.offset + 2, end = channel.offset + channel.length;
    if (compression != kRunLength)
        return Start(bytes, compression, begin, end, plane, error);
    const uint64_t table = uint64_t(plane.height) * (plane.large ? 4 : 2);
    if (table > end - begin)
        return Damaged(error, "a channel's row table is cut");
    if (!Start(bytes, compression, begin + table, end, plane, error))
        return false;
    m_counts = std::make_unique<PsdCursor>(bytes, begin, begin + table);
    return true;
}

bool PsdChannelRows::OpenImageChannel(const PsdBytes& bytes, uint64_t offset, int index, int channels,
                                      const PsdPlane& plane, std::string& error)
{
    PsdCursor head(bytes, offset, offset + 2);
    const int compression = head.U16();
    if (!head.ok()) {
        error = "holds no flattened picture";
        return false;
    }
    const uint64_t begin = offset + 2, end = bytes.Size();
    const uint64_t rowBytes = uint64_t(plane.width) * static_cast<uint64_t>(plane.depth / 8);
    if (compression == kRaw)
        return Start(bytes, compression, begin + uint64_t(index) * plane.height * rowBytes, end, plane, error);
    if (compression == kRunLength) {
        const uint64_t entry = plane.large ? 4 : 2;
        const uint64_t tableStart = begin + uint64_t(index) * plane.height * entry;
        const uint64_t tableEnd = begin + uint64_t(channels) * plane.height * entry;
        if (tableEnd > end)
            return Damaged(error, "the flattened picture's row table is cut");
        // The rows of the channels before this one come first.
        PsdCursor earlier(bytes, begin, tableStart);
        uint64_t skip = 0;
        while (earlier.remaining() > 0)
            skip += plane.large ? earlier.U32() : earlier.U16();
        if (skip > end - tableEnd)
            return Damaged(error, "the flattened picture is cut");
        if (!Start(bytes, compression, tableEnd + skip, end, plane, error))
            return false;
        m_counts = std::make_unique<PsdCursor>(bytes, tableStart, tableStart + plane.height * entry);
        return true;
    }
    // One zip stream for every channel: the earlier channels' rows are passed over.
    if (!Start(bytes, compression, begin, end, plane, error))
        return false;
    for (int c = 0; c < index; ++c) {
        if (!SkipRows(plane.height, error))
            return false;
        m_row = 0;
    }
    return true;
}

bool PsdChannelRows::ReadRawRow(std::string& error)
{
    return m_data->Read(m_bytes.data(), m_rowBytes) || Damaged(error, "a channel is cut");
}

bool PsdChannelRows::ReadRunLengthRow(std::string& error)
{
    const uint64_t packed = m_plane.large ? m_counts->U32() : m_counts->U16();
    // Even a poor packer needs at most two bytes per byte of the row.
    if (!m_counts->ok() || packed > 2 * m_rowBytes + 16)
        return Damaged(error, "a run-length row is too long");
    m_packed.resize(static_cast<size_t>(packed));
    if (!m_data->Read(m_packed.data(), m_packed.size()))
        return Damaged(error, "a channel is cut");
    size_t in = 0, out = 0;
    while (in < m_packed.size() && out < m_rowBytes) {
        const int header = static_cast<int8_t>(m_packed[in++]);
        if (header >= 0) {
            const size_t n = size_t(header) + 1;
            if (n > m_packed.size() - in || n > m_rowBytes - out)
                return Damaged(error, "a run-length row does not unpack");
            std::memcpy(m_bytes.data() + out, m_packed.data() + in, n);
            in += n;
            out += n;
        } else if (header != -128) {
            const size_t n = size_t(1 - header);
            if (in >= m_packed.size() || n > m_rowBytes - out)
                return Damaged(error, "a run-length row does not unpack");
            std::memset(m_bytes.data() + out, m_packed[in++], n);
            out += n;
        }
    }
    return out == m_rowBytes || Damaged(error, "a run-length row is short");
}

bool PsdChannelRows::ReadZipRow(std::string& error)
{
    z_stream_s& zip = *m_zip;
    zip.next_out = m_bytes.data();
    zip.avail_out = static_cast<uInt>(m_rowBytes);
    while (zip.avail_out > 0) {
        if (zip.avail_in == 0) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(kZipInput, m_data->remaining()));
            if (n == 0)
                return Damaged(error, "a zip channel is cut");
            m_packed.resize(n);
            if (!m_data->Read(m_packed.data(), n))
                return Damaged(error, "a zip channel is cut");
            zip.next_in = m_packed.data();
            zip.avail_in = static_cast<uInt>(n);
        }
        const int result = inflate(&zip, Z_NO_FLUSH);
        if (result == Z_STREAM_END && zip.avail_out > 0)
            return Damaged(error, "a zip channel ends early");
        if (result != Z_OK && result != Z_STREAM_END)
            return Damaged(error, "a zip channel does not unpack");
    }
    if (m_compression == kZipPredicted)
        UndoPrediction();
    return true;
}

void PsdChannelRows::UndoPrediction()
{
    unsigned char* b = m_bytes.data();
    const size_t width = m_plane.width;
    if (m_plane.depth == 8) {
        for (size_t i = 1; i < width; ++i)
            b[i] = static_cast<unsigned char>(b[i] + b[i - 1]);
    } else if (m_plane.depth == 16) {
        for (size_t i = 1; i < width; ++i) {
            const unsigned sum = ((b[2 * i] << 8) | b[2 * i + 1]) + ((b[2 * i - 2] << 8) | b[2 * i - 1]);
            b[2 * i] = static_cast<unsigned char>(sum >> 8);
            b[2 * i + 1] = static_cast<unsigned char>(sum);
        }
    } else {
        // 32 bits: byte differences over the row, whose samples are stored as
        // planes of their first, second, third and fourth bytes.
        for (size_t i = 1; i < m_rowBytes; ++i)
            b[i] = static_cast<unsigned char>(b[i] + b[i - 1]);
        m_planar.assign(m_bytes.begin(), m_bytes.end());
        for (size_t i = 0; i < width; ++i) {
            for (size_t k = 0; k < 4; ++k)
                b[4 * i + k] = m_planar[k * width + i];
        }
    }
}

void PsdChannelRows::ToSamples(uint16_t* samples) const
{
    const unsigned char* b = m_bytes.data();
    const size_t width = m_plane.width;
    if (m_plane.depth == 8) {
        for (size_t i = 0; i < width; ++i)
            samples[i] = static_cast<uint16_t>(b[i] * 257);
    } else if (m_plane.depth == 16) {
        for (size_t i = 0; i < width; ++i)
            samples[i] = static_cast<uint16_t>((b[2 * i] << 8) | b[2 * i + 1]);
    } else {
        for (size_t i = 0; i < width; ++i) {
            const uint32_t bits = (uint32_t(b[4 * i]) << 24) | (uint32_t(b[4 * i + 1]) << 16) |
                                  (uint32_t(b[4 * i + 2]) << 8) | b[4 * i + 3];
            float value;
            std::memcpy(&value, &bits, sizeof value);
            samples[i] = m_plane.kind == PsdSampleKind::Colour ? LinearToSrgb(value) : LinearToSample(value);
        }
    }
}

bool PsdChannelRows::NextRow(uint16_t* samples, std::string& error)
{
    if (!SkipRows(1, error))
        return false;
    ToSamples(samples);
    return true;
}

bool PsdChannelRows::SkipRows(uint32_t count, std::string& error)
{
    if (!m_data || count > m_plane.height - m_row)
        return Damaged(error, "a channel has fewer rows than its layer");
    for (uint32_t i = 0; i < count; ++i, ++m_row) {
        bool read = false;
        switch (m_compression) {
        case kRaw: read = ReadRawRow(error); break;
        case kRunLength: read = ReadRunLengthRow(error); break;
        default: read = ReadZipRow(error); break;
        }
        if (!read)
            return false;
    }
    return true;
}
