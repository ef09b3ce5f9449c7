#pragma once
// File names inside a vMix set folder. On reading, a name from config.xml
// (an input's text or its uvmap) is found inside the set folder, whatever
// form a Windows machine gave it, and never outside it. On writing, every
// file gets a name that Windows can hold and that no other file of the set
// has.
#include <map>
#include <string>

enum class SetFileProblem {
    None,
    Outside,  // the name leads out of the set folder: not read
    Missing,  // no such file in the set folder
};

// Where a name from config.xml leads.
struct SetFileLookup {
    std::wstring path;  // the file inside the set folder; empty when refused or when no name was given
    SetFileProblem problem = SetFileProblem::None;
};

// A name of a set file that the user should hear about.
struct SetFileNote {
    std::wstring layer;  // the layer's name
    std::wstring name;   // the name as the file gives it
    SetFileProblem problem = SetFileProblem::None;
    bool uvMap = false;  // the layer's UV map, not its picture
};
// The note in plain words, for logs and the command-line tools.
std::wstring DescribeSetFileNote(const SetFileNote& note);

// Finds the file a name stands for. The name is trimmed of surrounding blanks
// and line breaks, and backslashes are read as separators. A relative name is
// looked up below the set folder; an absolute one ("C:\Sets\Studio\img\a.png",
// "\\server\share\a.png", "/home/a.png") by its part after a folder of the set
// folder's name when it has one, else by its file name alone. A name whose
// exact spelling is not there is matched without regard to case, as Windows
// would. A name that leads out of the set folder (through "..", or through a
// symbolic link inside it) is refused: the layer gets no file. A name of
// blanks, separators and dots alone names no file.
SetFileLookup FindSetFile(const std::wstring& setFolder, const std::wstring& name);

// The name with every character Windows cannot hold in a file name (the
// controls and : ? " \ | * < > /) replaced by '_', a trailing dot or blank
// replaced likewise, and a device name (CON, NUL, COM1, …) given a '_'.
std::wstring WindowsSafeFileName(const std::wstring& name);

// The names of the files of a set folder being written. Compared without
// case, as on the set's Windows peers: two different files with one name
// (layers from different folders) get numbered names, "config.xml" and
// "thumbnail.jpg" are never given to a layer file, and a file that already
// lies in the folder keeps its own name, so writing the others cannot
// replace it.
class SetFileNames {
public:
    explicit SetFileNames(const std::wstring& folder);

    // Keeps a file's own name for it when it lies directly in the folder.
    void KeepOwnName(const std::wstring& source);
    // The name the file is written under (the same for the same file).
    std::wstring NameFor(const std::wstring& source);

private:
    bool Take(const std::wstring& name, const std::wstring& source);

    std::wstring m_folder;
    std::map<std::wstring, std::wstring> m_taken;  // upper-cased name -> the file written under it
};
