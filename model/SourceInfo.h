#pragma once
// The record that describes one source object: its kind, what it shows and
// the user's settings. The owner (normally the main window) keeps the record;
// the source object reads its settings from it and writes measured facts back
// (native size, audio layout, back-pointer).
#include <cstdint>
#include <string>

class CSourceObject;

// Kinds the program knows by number.
enum SourceKind : int32_t {
    kKindMediaFile = 1,
    kKindCaptureDevice = 2,
    kKindImage = 3,
    kKindNativeSet = 4,
    kKindSet5 = 5,
    kKindNetworkStream = 6,
    kKindAutoStart = 9,
    kKindScreen = 10,
    kKindNdi = 11,
    kKindSet12 = 12,
    kKindBrowser = 15,
    kKindTestPattern = 16,
    kKindWebRtc = 17,
    kKindWebRtc2 = 18,
    kKindVmixSet = 20,
};

// Kinds 4, 5, 12 and 20 are virtual sets: their first scene item is the set's
// group item, so layer n is item n + 1.
inline bool IsVirtualSetKind(int32_t kind) { return kind == 4 || kind == 5 || kind == 12 || kind == 20; }

// Placement in normalised canvas units (as LayerInfo): x, y from -1 to +1
// (x to the right, y upwards), zooms as fractions of the canvas, rotateZ in
// turns, crop as insets that are fractions of the picture.
struct SourcePlacement {
    float x = 0.0f;
    float y = 0.0f;
    float zoomX = 1.0f;
    float zoomY = 1.0f;
    float zoomZ = 1.0f;
    float rotateX = 0.0f;
    float rotateY = 0.0f;
    float rotateZ = 0.0f;
    float cropLeft = 0.0f;
    float cropTop = 0.0f;
    float cropRight = 0.0f;
    float cropBottom = 0.0f;
};

struct ChromaKeySettings {
    bool enabled = false;
    int32_t keyColor = 0x00FF00;  // 0x00BBGGRR
    int32_t similarity = 400;
    int32_t smoothness = 80;
    int32_t spill = 100;
    int32_t gamma = 0;       // thousandths
    int32_t brightness = 0;  // thousandths
    int32_t contrast = 0;    // thousandths
};

struct NoiseSuppressionSettings {
    bool enabled = false;
    int32_t method = 0;  // 0 "speex", else "rnnoise"
};

struct GainSettings {
    bool enabled = false;
    double db = 0.0;
};

struct NdiSettings {
    std::wstring sourceName;
    int32_t latency = 0;
    int32_t bandwidthMode = 0;
    int32_t sync = 0;
    int32_t yuvColorSpace = 0;
    int32_t yuvRange = 0;
    bool fixAlphaBlending = false;
    bool hardwareAcceleration = false;
};

struct BrowserSettings {
    std::wstring url;
    int32_t width = 1920;
    int32_t height = 1080;
    bool customFps = false;
    int32_t fps = 25;
    bool isLocalFile = false;
    std::wstring localFile;
    bool hasBackground = false;
    uint32_t background = 0;  // red in the low byte, alpha in the high byte
};

struct WebRtcSettings {
    std::wstring roomName;
    std::wstring password;
    std::wstring myId;
    std::wstring myName;
    bool useVideoDevice = false;
    std::wstring videoCaptureDevice;
    bool useAudioDevice = false;
    std::wstring audioCaptureDevice;
    std::wstring audioPlayoutDevice;
};

struct SourceInfo {
    int32_t kind = 0;
    // Sets: 1 native package, 2 vMix set. Media and capture kinds: the
    // engine source type (see the kind table of CObsSource).
    int32_t variant = 0;
    int32_t playlistCount = 0;
    int32_t playlistIndex = -1;  // -1: none
    bool playlistLoop = false;

    // The file, URL or device the source shows; for a set the full path of
    // its scene file.
    std::wstring path;
    // Rebuilt by the object before it creates a source.
    std::wstring displayName;
    // Stream address used in place of the path when the flag is set.
    std::wstring streamAddress;
    bool useStreamAddress = false;

    CSourceObject* owner = nullptr;  // set when the object is opened
    int32_t nativeWidth = 0;
    int32_t nativeHeight = 0;
    int32_t speakerLayout = 0;

    // Devices and capture.
    std::wstring videoDeviceName;
    std::wstring videoDevicePath;
    std::wstring audioDevice;
    std::wstring captureTarget;  // monitor number, window or game
    int32_t captureMethod = 0;
    bool captureCursor = true;

    // Media.
    int32_t buffering = 3;  // MB for streams
    bool hardwareDecode = false;
    bool loop = false;
    bool customResolution = false;
    int32_t width = 0;
    int32_t height = 0;
    bool autoStart = true;  // kind 9

    SourcePlacement placement;
    bool keepAspect = false;
    bool flipHorizontal = false;
    bool flipVertical = false;
    int32_t rotationPreset = 0;  // 1 a quarter turn, 2 minus a quarter turn
    bool deinterlace = false;
    uint8_t auxFlag = 0;

    ChromaKeySettings chromaKey;
    NoiseSuppressionSettings noiseSuppression;
    GainSettings gain;
    NdiSettings ndi;
    BrowserSettings browser;
    WebRtcSettings webRtc;

    int32_t color[4] = {0, 0, 0, 0};
    bool hasVideo = false;
    bool hasAudio = false;
};
