#pragma once
// The bytes of a Photoshop file, read at any offset, and a cursor that reads
// big-endian fields from a bounded stretch of them. A cursor never reads past
// its end: a field that does not fit sets its failure mark and reads as 0.
#include "platform/FileStream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PsdBytes {
public:
    virtual ~PsdBytes() = default;
    virtual uint64_t Size() const = 0;
    // Exactly count bytes from offset; false when they are not all there.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t count) const = 0;
};

class PsdFileBytes : public PsdBytes {
public:
    bool Open(const std::wstring& path);
    uint64_t Size() const override { return m_size; }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) const override;

private:
    mutable platform::FileStream m_file;
    uint64_t m_size = 0;
};

class PsdMemoryBytes : public PsdBytes {
public:
    explicit PsdMemoryBytes(std::string_view bytes) : m_bytes(bytes) {}
    uint64_t Size() const override { return m_bytes.size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t count) const override;

private:
    std::string_view m_bytes;
};

class PsdCursor {
public:
    PsdCursor(const PsdBytes& bytes, uint64_t begin, uint64_t end);

    bool ok() const { return m_ok; }
    uint64_t position() const { return m_position; }
    uint64_t end() const { return m_end; }
    uint64_t remaining() const { return m_ok ? m_end - m_position : 0; }

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    uint64_t U64();
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    // A section length: 8 bytes in the large-document variant, else 4.
    uint64_t Length(bool wide) { return wide ? U64() : U32(); }
    std::string Key() { return Bytes(4); }
    // count bytes as text; empty (and failed) when they do not fit.
    std::string Bytes(uint64_t count);
    bool Skip(uint64_t count);
    // The next count bytes as a cursor of their own; this one moves past them.
    PsdCursor Take(uint64_t count);
    // Exactly count bytes into out; false (and failed) when they do not fit.
    bool Read(void* out, size_t count) { return Fill(out, count); }
    // Like Take, but a stretch reaching past the end is cut to what is there
    // and `cut` is set, so its beginning can still be read.
    PsdCursor TakeWhatIsThere(uint64_t count, bool& cut);
    // Looks at the next four bytes without moving.
    std::string PeekKey();
    void Fail() { m_ok = false; }

private:
    bool Fill(void* out, size_t count);

    const PsdBytes* m_bytes;
    uint64_t m_position;
    uint64_t m_end;
    bool m_ok = true;
    // Read-ahead, so many small fields cost few reads of the file.
    std::vector<unsigned char> m_buffer;
    uint64_t m_bufferStart = 0;
};
