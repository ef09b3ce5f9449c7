#pragma once
// Test sets on disk: layer pictures made with QImage, 16-bit UV maps made
// with lodepng, native sets written through the scene writer and vMix sets
// written as config.xml text, plus reading back rendered pictures.
#include "formats/SceneRecords.h"
#include "model/SourceInfo.h"

#include <QColor>
#include <QImage>
#include <string>
#include <vector>

namespace settest {

struct TestLayer {
    std::string name;
    QColor colour = Qt::red;
    int width = 64;
    int height = 36;
    float x = 0.0f, y = 0.0f, zoomX = 1.0f, zoomY = 1.0f, rotateZ = 0.0f;
    float crop[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // insets: left, top, right, bottom
    bool uvMap = false;
};

void WritePicture(const std::string& path, int width, int height, const QColor& colour, const char* format = "PNG");
// An identity UV map (the whole picture over the whole map) as a 16-bit RGBA PNG.
void WriteUvMap(const std::string& path, int width, int height);
// A lens-correcting UV map: barrel 0 is the identity, a positive barrel bends
// straight lines of the picture outwards; texels that fall outside the
// picture are transparent. Written as 16-bit RGBA with only the IHDR, IDAT
// and IEND chunks (no gamma), fast enough for a 2160p map in a test.
void WriteLensUvMap(const std::string& path, int width, int height, double barrel);

// A vMix set as they are found on disks and in public repositories, written
// into "<parent>/<name>": config.xml without a declaration, with LF line ends
// and attributes aligned with runs of blanks; eight inputs; dynamic="True";
// x="+0.577"; shots with zoomX/zoomY and rotations instead of zoom; a uvmap
// file that is missing; no thumbnail.jpg; a 32 x 32 "blank.png" placeholder
// for the live inputs; 16-bit UV maps without a gamma chunk at 720p (lens
// corrected), 1080p (lens corrected) and 2160p (identity). Returns config.xml.
std::wstring MakeRealWorldVmixSet(const std::string& parent, const std::string& name);

// Layer records for the specs, front-most first; their pictures and maps are
// written into `folder` as "<name>.png" and "<name>-uv.png".
LayerList MakeLayers(const std::string& folder, const std::vector<TestLayer>& specs);
ShotInfo MakeShot(const std::string& name, float x, float y, float zoomX, float zoomY, float rotateZ = 0.0f);

// "<parent>/<name>/scene.tvn" through the scene writer, with the pictures in
// "<parent>/sources". A shot mode other than 0 goes into the header.
std::wstring MakeNativeSet(const std::string& parent, const std::string& name, const std::vector<TestLayer>& layers,
                           const ShotList& shots, int32_t shotMode = 0);
// "<parent>/<name>/config.xml" with the pictures beside it, in vMix's form:
// input elements back to front, rotations in degrees, crop as edges.
std::wstring MakeVmixSet(const std::string& parent, const std::string& name, const std::vector<TestLayer>& layers,
                         const ShotList& shots);

SourceInfo NativeSetInfo(const std::wstring& sceneFile);
SourceInfo VmixSetInfo(const std::wstring& configFile);

// Paths of everything inside a folder, relative to it, sorted.
std::vector<std::string> FolderTree(const std::string& folder);

// Whether the pixel is within a few levels of the colour (alpha ignored).
bool PixelIs(const QImage& image, int x, int y, const QColor& colour, int tolerance = 6);

}  // namespace settest
