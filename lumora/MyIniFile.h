#pragma once
// A small wrapper over the profile functions for one ini file in the
// program's folder.
#include "lumora/LumoraApi.h"

#include <string>

class LUMORA_API CMyIniFile {
public:
    // The file of that name in the folder of the running executable.
    explicit CMyIniFile(const std::wstring& fileName);

    // The value (up to 259 characters), or the default when nothing was read.
    std::wstring GetProfileStringW(const std::wstring& section, const std::wstring& key,
                                   const std::wstring& defaultValue) const;
    bool WriteProfileStringW(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    unsigned GetProfileIntW(const std::wstring& section, const std::wstring& key, int defaultValue) const;
    // Writes the value as "%d".
    bool WriteProfileInt(const std::wstring& section, const std::wstring& key, int value);

    const std::wstring& GetPath() const { return m_sPath; }

private:
    std::wstring m_sPath;
};
