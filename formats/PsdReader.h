#pragma once
// Layered Photoshop files (PSD and PSB) as the pictures of a new set: every
// layer the set can show, with its name, place, visibility and its pixels as
// a PNG file, plus the report of what the set shows differently from the file.
//
// The file is read row by row: its layout is checked first (size, canvas,
// layer count, every channel inside the file) and nothing is allocated from
// what the file merely claims; then each layer's channels are decoded a row
// at a time straight into its PNG. Memory stays at a few rows of the widest
// layer whatever the canvas size.
#include "PsdBytes.h"
#include "PsdLayerPainter.h"
#include "PsdReport.h"
#include "PsdStructure.h"

#include <memory>
#include <string>
#include <vector>

struct PsdLayer {
    std::wstring name;
    int32_t left = 0;  // offset of the layer's picture on the canvas, in pixels
    int32_t top = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool visible = true;
    std::wstring picture;  // 8-bit RGBA PNG file
};

struct PsdDocument {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<PsdLayer> layers;  // the file's top layer first
    std::string thumbnailJpeg;     // 320 x 180, made from the visible layers
    PsdImportReport report;
    // The temporary folder of the pictures; removed with the last copy of the document.
    std::shared_ptr<const std::wstring> pictureFolder;
};

// Reads every layer, hidden ones included. A file without layers gives its
// flattened picture as one layer.
bool ReadPsdDocument(const std::wstring& path, PsdDocument& document, std::string& error);

// The decoding without files: every set layer's rows, bottom layer first,
// into the sink; the plan tells the layers' names and visibility (top first).
struct PsdDecoding {
    PsdStructure structure;
    PsdLayerPlan plan;
    bool flattened = false;  // the file had no layer to show: one picture, the flattened one
};
bool DecodePsd(const PsdBytes& bytes, PsdPictureSink& sink, PsdDecoding& decoding, std::string& error);
