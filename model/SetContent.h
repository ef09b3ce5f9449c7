#pragma once
// What a save writes of a set: its layer and shot records with their paths,
// its name, thumbnail, shot mode and header value. Two captures compare
// equal when a save would write the same set, so the editor can tell whether
// the set changed since it was opened or saved.
#include <string>

class CSourceObject;

class SetContent {
public:
    SetContent() = default;
    static SetContent Capture(CSourceObject& set);

    bool operator==(const SetContent& other) const = default;

private:
    std::string m_bytes;
};
