#pragma once
// How the project settings turn into the engine's video and audio formats.
#include "app/ProjectSettings.h"

#include <obs.h>
#include <string>

inline constexpr const char* kFirstGraphicsModule = "D3DEngine";
// The OpenGL module by the file name the engine's runtime package installs:
// the engine opens a name without ".so" as "<name>.so", a link that only its
// development package provides, so an installed editor could not start.
inline constexpr const char* kFallbackGraphicsModule = "libobs-opengl.so.1";

obs_video_info MakeVideoInfo(const ProjectSettings& settings, const char* graphicsModule);
obs_audio_info MakeAudioInfo(const ProjectSettings& settings);
speaker_layout SpeakerLayoutFromChannel(int channel);

// "<folder>/plugin_config" in UTF-8, cut to what fits a 512-byte buffer.
std::string MakeModuleConfigPath(const std::wstring& userDataFolder);

// The text logged when the video reset fails with the given code.
std::string VideoFailureText(int result);

// Modules that must not be loaded outside OBS Studio's own window or that go
// online when loaded.
bool IsSkippedModule(const std::string& name);
