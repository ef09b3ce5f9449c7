#pragma once
// The one table that turns the source type ids the program is written against
// into the ids this platform's engine modules register, with the settings keys
// that differ. Every source and filter the program creates goes through here.
#include <obs.hpp>
#include <string>

// The engine's id for a program type id; ids without an entry pass unchanged.
const char* EngineSourceType(const char* typeId);

// Renames, in place, the settings keys that the engine's type spells
// differently. Values keep their type; keys without an entry stay.
void TranslateSourceSettings(const char* typeId, obs_data_t* settings);

// True when a module registers the (translated) type.
bool IsSourceTypeRegistered(const char* typeId);

// The display name of the (translated) type, or null when it is unregistered.
const char* SourceTypeDisplayName(const char* typeId);

// Creates a source of the translated type with translated settings (the
// caller's settings object is changed in place). Null when the type is not
// registered or the engine refuses; the caller owns the reference.
OBSSourceAutoRelease CreateEngineSource(const char* typeId, const std::string& name, obs_data_t* settings);
// The same for a private source (filters; not listed among named sources).
OBSSourceAutoRelease CreateEnginePrivateSource(const char* typeId, const std::string& name, obs_data_t* settings);
