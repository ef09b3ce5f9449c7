#include "PsdBytes.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kReadAhead = 16 * 1024;
}

bool PsdFileBytes::Open(const std::wstring& path)
{
    if (!m_file.Open(path, platform::FileStream::Mode::Read))
        return false;
    const int64_t size = m_file.Size();
    if (size < 0)
        return false;
    m_size = static_cast<uint64_t>(size);
    return true;
}

bool PsdFileBytes::ReadAt(uint64_t offset, void* buffer, size_t count) const
{
    if (offset > m_size || count > m_size - offset)
        return false;
    return m_file.Seek(static_cast<int64_t>(offset)) && m_file.ReadExact(buffer, count);
}

bool PsdMemoryBytes::ReadAt(uint64_t offset, void* buffer, size_t count) const
{
    if (offset > m_bytes.size() || count > m_bytes.size() - offset)
        return false;
    std::memcpy(buffer, m_bytes.data() + offset, count);
    return true;
}

PsdCursor::PsdCursor(const PsdBytes& bytes, uint64_t begin, uint64_t end)
    : m_bytes(&bytes), m_position(begin), m_end(std::min(end, bytes.Size()))
{
    if (begin > m_end || end > bytes.Size())
        m_ok = false;
}

bool PsdCursor::Fill(void* out, size_t count)
{
    if (!m_ok || count > m_end - m_position) {
        m_ok = false;
        std::memset(out, 0, count);
        return false;
    }
    auto* target = static_cast<unsigned char*>(out);
    while (count > 0) {
        const bool buffered = m_position >= m_bufferStart && m_position < m_bufferStart + m_buffer.size();
        if (!buffered) {
            const size_t size = static_cast<size_t>(std::min<uint64_t>(kReadAhead, m_end - m_position));
            m_buffer.resize(size);
            m_bufferStart = m_position;
            if (!m_bytes->ReadAt(m_position, m_buffer.data(), size)) {
                m_buffer.clear();
                m_ok = false;
                return false;
            }
        }
        const size_t at = static_cast<size_t>(m_position - m_bufferStart);
        const size_t n = std::min(count, m_buffer.size() - at);
        std::memcpy(target, m_buffer.data() + at, n);
        target += n;
        count -= n;
        m_position += n;
    }
    return true;
}

uint8_t PsdCursor::U8()
{
    uint8_t v = 0;
    Fill(&v, 1);
    return v;
}

uint16_t PsdCursor::U16()
{
    unsigned char b[2];
    Fill(b, 2);
    return static_cast<uint16_t>((b[0] << 8) | b[1]);
}

uint32_t PsdCursor::U32()
{
    unsigned char b[4];
    Fill(b, 4);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

uint64_t PsdCursor::U64()
{
    const uint64_t high = U32();
    return (high << 32) | U32();
}

std::string PsdCursor::Bytes(uint64_t count)
{
    if (!m_ok || count > m_end - m_position) {
        m_ok = false;
        return {};
    }
    std::string text(static_cast<size_t>(count), '\0');
    Fill(text.data(), text.size());
    return text;
}

bool PsdCursor::Skip(uint64_t count)
{
    if (!m_ok || count > m_end - m_position)
        return m_ok = false;
    m_position += count;
    return true;
}

PsdCursor PsdCursor::Take(uint64_t count)
{
    if (!m_ok || count > m_end - m_position) {
        m_ok = false;
        PsdCursor failed(*m_bytes, m_end, m_end);
        failed.m_ok = false;
        return failed;
    }
    PsdCursor part(*m_bytes, m_position, m_position + count);
    m_position += count;
    return part;
}

PsdCursor PsdCursor::TakeWhatIsThere(uint64_t count, bool& cut)
{
    cut = !m_ok || count > m_end - m_position;
    return Take(cut ? remaining() : count);
}

std::string PsdCursor::PeekKey()
{
    const uint64_t at = m_position;
    const std::string key = remaining() >= 4 ? Bytes(4) : std::string();
    m_position = at;
    return key;
}
