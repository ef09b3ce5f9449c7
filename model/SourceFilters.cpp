#include "SourceFilters.h"

#include "engine/SourceTypes.h"

OBSSourceAutoRelease AddFilterOnce(obs_source_t* source, const char* typeId, obs_data_t* settings)
{
    if (!source || !IsSourceTypeRegistered(typeId))
        return nullptr;
    OBSSourceAutoRelease existing = obs_source_get_filter_by_name(source, typeId);
    if (existing)
        return existing;
    existing = obs_source_get_filter_by_name(source, SourceTypeDisplayName(typeId));
    if (existing)
        return existing;
    OBSSourceAutoRelease filter = CreateEnginePrivateSource(typeId, typeId, settings);
    if (!filter)
        return nullptr;
    // The engine refuses a filter the source cannot carry (audio on a picture).
    obs_source_filter_add(source, filter);
    if (obs_filter_get_parent(filter) != source)
        return nullptr;
    return filter;
}

void RemoveFilter(obs_source_t* filter)
{
    if (!filter)
        return;
    obs_source_t* carrier = obs_filter_get_parent(filter);
    OBSSourceAutoRelease parent = carrier ? obs_source_get_ref(carrier) : nullptr;
    if (parent)
        obs_source_filter_remove(parent, filter);
}

OBSDataAutoRelease MakeChromaKeySettings(const ChromaKeySettings& key)
{
    OBSDataAutoRelease s = obs_data_create();
    obs_data_set_string(s, "key_color_type", "custom");
    obs_data_set_int(s, "key_color", key.keyColor);
    obs_data_set_int(s, "similarity", key.similarity);
    obs_data_set_int(s, "smoothness", key.smoothness);
    obs_data_set_int(s, "spill", key.spill);
    obs_data_set_double(s, "opacity", 1.0);
    obs_data_set_double(s, "contrast", key.contrast / 1000.0);
    obs_data_set_double(s, "brightness", key.brightness / 1000.0);
    obs_data_set_double(s, "gamma", key.gamma / 1000.0);
    return s;
}

OBSDataAutoRelease MakeNoiseSuppressionSettings(const NoiseSuppressionSettings& noise)
{
    OBSDataAutoRelease s = obs_data_create();
    if (noise.method == 0) {
        obs_data_set_string(s, "method", "speex");
        obs_data_set_int(s, "suppress_level", -30);
    } else {
        obs_data_set_string(s, "method", "rnnoise");
    }
    return s;
}

OBSDataAutoRelease MakeGainSettings(const GainSettings& gain)
{
    OBSDataAutoRelease s = obs_data_create();
    obs_data_set_double(s, "db", gain.db);
    return s;
}
