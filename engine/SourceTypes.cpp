#include "SourceTypes.h"

#include <cstring>

namespace {

struct KeyRename {
    const char* from;
    const char* to;
};

struct TypeTranslation {
    const char* typeId;
    const char* engineId;
    KeyRename keys[3];
};

// Windows-only types and their counterparts here. The capture types keep only
// the keys with a plain counterpart; device strings of the other system do not
// name anything here and pass unchanged.
constexpr TypeTranslation kTranslations[] = {
    {"text_gdiplus", "text_ft2_source_v2", {{"read_from_file", "from_file"}, {"file", "text_file"}, {}}},
    {"dshow_input", "v4l2_input", {}},
    {"wasapi_input_capture", "pulse_input_capture", {}},
    {"wasapi_output_capture", "pulse_output_capture", {}},
    {"monitor_capture", "xshm_input", {{"monitor", "screen"}, {"capture_cursor", "show_cursor"}, {}}},
    {"window_capture", "xcomposite_input", {{"cursor", "show_cursor"}, {}, {}}},
};

const TypeTranslation* FindTranslation(const char* typeId)
{
    if (!typeId)
        return nullptr;
    for (const auto& t : kTranslations)
        if (std::strcmp(t.typeId, typeId) == 0)
            return &t;
    return nullptr;
}

// A data item reference, released once when it goes.
class DataItem {
public:
    explicit DataItem(obs_data_item_t* item) : m_item(item) {}
    ~DataItem() { obs_data_item_release(&m_item); }
    DataItem(const DataItem&) = delete;
    DataItem& operator=(const DataItem&) = delete;
    operator obs_data_item_t*() const { return m_item; }

private:
    obs_data_item_t* m_item;
};

// Moves one value to a new key, keeping its type.
void RenameKey(obs_data_t* settings, const char* from, const char* to)
{
    DataItem item(obs_data_item_byname(settings, from));
    if (!item)
        return;
    switch (obs_data_item_gettype(item)) {
    case OBS_DATA_STRING:
        obs_data_set_string(settings, to, obs_data_item_get_string(item));
        break;
    case OBS_DATA_BOOLEAN:
        obs_data_set_bool(settings, to, obs_data_item_get_bool(item));
        break;
    case OBS_DATA_NUMBER:
        if (obs_data_item_numtype(item) == OBS_DATA_NUM_DOUBLE)
            obs_data_set_double(settings, to, obs_data_item_get_double(item));
        else
            obs_data_set_int(settings, to, obs_data_item_get_int(item));
        break;
    case OBS_DATA_OBJECT: {
        OBSDataAutoRelease object = obs_data_item_get_obj(item);
        obs_data_set_obj(settings, to, object);
        break;
    }
    case OBS_DATA_ARRAY: {
        OBSDataArrayAutoRelease array = obs_data_item_get_array(item);
        obs_data_set_array(settings, to, array);
        break;
    }
    case OBS_DATA_NULL:
        return;
    }
    obs_data_erase(settings, from);
}

}  // namespace

const char* EngineSourceType(const char* typeId)
{
    const TypeTranslation* t = FindTranslation(typeId);
    return t ? t->engineId : typeId;
}

void TranslateSourceSettings(const char* typeId, obs_data_t* settings)
{
    const TypeTranslation* t = FindTranslation(typeId);
    if (!t || !settings)
        return;
    for (const KeyRename& key : t->keys)
        if (key.from)
            RenameKey(settings, key.from, key.to);
}

const char* SourceTypeDisplayName(const char* typeId)
{
    if (!typeId)
        return nullptr;
    return obs_source_get_display_name(EngineSourceType(typeId));
}

bool IsSourceTypeRegistered(const char* typeId) { return SourceTypeDisplayName(typeId) != nullptr; }

namespace {

OBSSourceAutoRelease CreateTranslated(const char* typeId, const std::string& name, obs_data_t* settings, bool isPrivate)
{
    if (!IsSourceTypeRegistered(typeId))
        return nullptr;
    TranslateSourceSettings(typeId, settings);
    const char* engineId = EngineSourceType(typeId);
    if (isPrivate)
        return obs_source_create_private(engineId, name.c_str(), settings);
    return obs_source_create(engineId, name.c_str(), settings, nullptr);
}

}  // namespace

OBSSourceAutoRelease CreateEngineSource(const char* typeId, const std::string& name, obs_data_t* settings)
{
    return CreateTranslated(typeId, name, settings, false);
}

OBSSourceAutoRelease CreateEnginePrivateSource(const char* typeId, const std::string& name, obs_data_t* settings)
{
    return CreateTranslated(typeId, name, settings, true);
}
