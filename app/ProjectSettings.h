#pragma once
// The process-wide settings record: the canvas video format and audio format
// the engine starts with, and a few user-interface states. Every run starts
// from these initial values, except the video format, which is read back from
// Setting.xml (the one the user chose last); the record is written there.
#include <string>
#include <utility>
#include <vector>

struct SettingsPathList {
    std::wstring Last;
    std::vector<std::wstring> Paths;
};

struct ProjectSettings {
    std::wstring ProjectName;
    std::wstring FormatName = L"HD 1080p25";
    float FrameRate = 25.0f;
    int Width = 1920;
    int Height = 1080;
    int Interlace = 0;
    int ColorSpace = 0;
    int ColorFormat = 0;
    int ColorRange = 0;

    std::wstring MonitorDevice;
    std::wstring MonitorDeviceID;
    int SampleRate = 0;  // 0: 44100 Hz, 1: 48000 Hz
    int Channel = 1;     // speaker-layout index, 1 = stereo

    // List-view states; VirtualSet, MultiView and ThirdVSet are the library's
    // icon/list mode per category.
    unsigned Clip = 0;
    unsigned CG = 0;
    unsigned VirtualSet = 0;
    unsigned MultiView = 0;
    unsigned ThirdVSet = 0;
    unsigned Effect1 = 0;
    unsigned Effect2 = 0;
    unsigned Effect3 = 0;
    unsigned Effect4 = 0;
    unsigned Record = 0;
    unsigned SourceLock = 0;

    std::wstring Function;
    std::wstring LastFilePath;
    int LastFileFilter = 0;
    std::wstring LastCapturePath;
    int LastOverlay = 0;
    int LayerBox = 1;
    int AutoCheckNew = 1;
    int KeepRatio = 0;
    int Collapse[6] = {0, 0, 0, 0, 0, 0};

    SettingsPathList VideoPath;
    SettingsPathList AudioPath;
    SettingsPathList ImagePath;
    SettingsPathList RecordPath;
    SettingsPathList CgPath;
    SettingsPathList XamlPath;

    // The editor's workspace (its window, splitter, page, guides and zoom)
    // as named values, written after the keys above and read back at start.
    std::vector<std::pair<std::wstring, std::wstring>> Workspace;
};

// The one record of the process, initialised before main runs.
extern ProjectSettings g_settings;
