#pragma once
// One channel's pixels, a row at a time, whatever their compression (raw,
// run-length, zip, zip with prediction) and depth (8, 16 or 32 bits). Rows
// come out as 16-bit samples; 32-bit colour samples, which are linear light,
// are put on the sRGB curve. Only a row's worth of bytes is ever held.
#include "PsdBytes.h"
#include "PsdStructure.h"

#include <memory>
#include <string>
#include <vector>

struct z_stream_s;

enum class PsdSampleKind {
    Colour,  // 32-bit samples go through the sRGB curve
    Linear,  // transparency and masks
};

struct PsdPlane {
    uint32_t width = 0;
    uint32_t height = 0;
    int depth = 8;
    bool large = false;  // PSB: run-length row counts have 4 bytes
    PsdSampleKind kind = PsdSampleKind::Colour;
};

class PsdChannelRows {
public:
    PsdChannelRows();
    ~PsdChannelRows();
    PsdChannelRows(const PsdChannelRows&) = delete;
    PsdChannelRows& operator=(const PsdChannelRows&) = delete;

    // A layer's channel: its compression field, then its rows.
    bool OpenLayerChannel(const PsdBytes& bytes, const PsdChannel& channel, const PsdPlane& plane, std::string& error);
    // Channel `index` of the flattened picture, whose channels share one
    // compression field at `offset`.
    bool OpenImageChannel(const PsdBytes& bytes, uint64_t offset, int index, int channels, const PsdPlane& plane,
                          std::string& error);

    // The next row: plane.width samples.
    bool NextRow(uint16_t* samples, std::string& error);
    bool SkipRows(uint32_t count, std::string& error);
    uint32_t rowsRead() const { return m_row; }

private:
    bool Start(const PsdBytes& bytes, int compression, uint64_t begin, uint64_t end, const PsdPlane& plane,
               std::string& error);
    bool ReadRawRow(std::string& error);
    bool ReadRunLengthRow(std::string& error);
    bool ReadZipRow(std::string& error);
    void UndoPrediction();
    void ToSamples(uint16_t* samples) const;

    PsdPlane m_plane;
    int m_compression = 0;
    size_t m_rowBytes = 0;
    uint32_t m_row = 0;
    std::unique_ptr<PsdCursor> m_data;
    std::unique_ptr<PsdCursor> m_counts;  // run-length row sizes
    std::unique_ptr<z_stream_s> m_zip;
    bool m_zipOpen = false;
    std::vector<unsigned char> m_bytes;   // the row as stored
    std::vector<unsigned char> m_packed;  // compressed input
    std::vector<unsigned char> m_planar;  // a 32-bit predicted row before its bytes are put together
};
