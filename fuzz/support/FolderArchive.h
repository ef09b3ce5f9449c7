#pragma once
// A whole folder in one fuzz input: entries of a one-byte name length, the
// name, a four-byte little-endian size and the bytes. Names are plain file
// names, or one sub-folder and a file name ("a/scene.tvn"); an entry with any
// other name is skipped, and a size beyond the input is cut at its end.
// Shared by the fuzz targets that read folders and by the tests that replay
// their corpora.
#include <string>
#include <string_view>
#include <vector>

struct ArchiveEntry {
    std::string name;
    std::string bytes;
};

std::vector<ArchiveEntry> ReadFolderArchive(std::string_view input);
// The input that ReadFolderArchive reads back as these entries.
std::string MakeFolderArchive(const std::vector<ArchiveEntry>& entries);
// Writes the entries into the folder (sub-folders made as needed); false
// when one could not be written.
bool UnpackFolderArchive(std::string_view input, const std::wstring& folder);

// A temporary folder for one fuzz run, removed when the run ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};
