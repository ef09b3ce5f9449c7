#pragma once
// The kind table: which engine source type a record asks for and the settings
// it is created (and later updated) with.
#include "SourceInfo.h"

#include <obs.hpp>
#include <string>
#include <vector>

struct SourceRecipe {
    const char* typeId = nullptr;  // the program's type id; null for an unknown kind or variant
    OBSDataAutoRelease settings;   // in the program's keys (translated on creation)
    std::vector<const char*> erasedKeys;  // keys an update removes from existing settings
};

// Kinds 1 to 18 as far as the table knows them.
SourceRecipe MakeSourceRecipe(const SourceInfo& info);

// Device and capture kinds get names made unique with " 2", " 3", ...
bool IsUniquelyNamedKind(int32_t kind);

// A network stream's address: the second string when its flag is set and it
// is not empty, else the path.
std::wstring StreamAddressOf(const SourceInfo& info);

// The playlist player wants "udp://@" for a listening address: an address
// that starts with "udp://" (any case) whose seventh character is not '@'
// gets "udp://@" in place of its first six characters.
std::wstring RewriteUdpAddress(const std::wstring& address);

// The page style that paints a browser source's background.
std::string MakeBrowserCss(uint32_t colour);
