#pragma once
// The audio and video filters an input can carry: chroma key, noise
// suppression and gain, each at most once per source.
#include "SourceInfo.h"

#include <obs.hpp>

inline constexpr const char* kChromaKeyFilterType = "chroma_key_filter_v2";
inline constexpr const char* kNoiseSuppressFilterType = "noise_suppress_filter_v2";
inline constexpr const char* kGainFilterType = "gain_filter";

// The filter of the type on the source: the one it already carries (named
// after the type id, or after the type's display name) or a new one named
// after the type id. A new filter is made with the settings, so it has them
// before its first frame (libobs hands a video filter later updates only at
// its next frame); one already there keeps its own. The caller gets its own
// reference; null when the type is not registered or the source cannot carry
// the filter.
OBSSourceAutoRelease AddFilterOnce(obs_source_t* source, const char* typeId, obs_data_t* settings = nullptr);

// Takes the filter off whatever source carries it.
void RemoveFilter(obs_source_t* filter);

// Settings of each filter from the record's values.
OBSDataAutoRelease MakeChromaKeySettings(const ChromaKeySettings& key);
OBSDataAutoRelease MakeNoiseSuppressionSettings(const NoiseSuppressionSettings& noise);
OBSDataAutoRelease MakeGainSettings(const GainSettings& gain);
