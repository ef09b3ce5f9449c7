#pragma once
// Starts libobs when constructed and shuts it down when destroyed.
// InitEngine configures audio and video from the project settings and loads
// the engine modules.

// The X11 display the engine renders through; set before the engine object is
// made (the editor passes Qt's connection, tools their own). When none is set
// the engine opens the default display itself.
void SetEngineDisplay(void* display);

class ObsBasic {
public:
    ObsBasic();
    virtual ~ObsBasic();
    ObsBasic(const ObsBasic&) = delete;
    ObsBasic& operator=(const ObsBasic&) = delete;

    virtual bool InitEngine();

    // Resets video with the first graphics module, falling back once to the
    // second; returns the engine's video result code.
    int ApplyVideoSettings();

    // True when the engine has an X11 display to render through.
    bool HasDisplay() const { return m_display != nullptr; }

    // How the last InitEngine ended: started, or the step that failed (for
    // video with the engine's result code).
    enum class StartResult { NotRun, Started, AudioFailed, VideoFailed, Failed };
    StartResult GetStartResult() const { return m_startResult; }
    int GetVideoResult() const { return m_videoResult; }
    bool IsStarted() const { return m_startResult == StartResult::Started; }

private:
    bool ResetAudio();
    bool ResetVideo();
    void SetMonitoringDevice();
    void LoadModules();

    void* m_display = nullptr;
    bool m_ownsDisplay = false;
    StartResult m_startResult = StartResult::NotRun;
    int m_videoResult = 0;
};
