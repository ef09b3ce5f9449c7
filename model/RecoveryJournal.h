#pragma once
// The recovery journal: the open set's latest state, kept on disk while it
// differs from the saved set, so that an editor ended by a crash, a kill or a
// power cut gives the edits back at its next start.
//
// A journal is a folder "<user data>/Recovery/<set id>/" (private to the
// user). It holds one generation folder with the state as a native set file
// with every picture embedded ("scene.tvn", written and read by the set
// file's own writer and reader) and its thumbnail, and "journal.xml", which
// names the set's folder and format, the editor's process id, the time, the
// generation, the set values the set file does not carry and the path of
// every picture the state refers to. The description is replaced atomically
// and names its generation, so a journal read at any moment is either the
// previous state or the new one, never a mix.
#include "SetSnapshot.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

// The format of the set a journal belongs to.
enum class JournalSetFormat { Native, Vmix };

// Whose set a journal holds: written into the journal with each state.
struct JournalOwner {
    std::wstring setFolder;
    JournalSetFormat format = JournalSetFormat::Vmix;
    uint32_t processId = 0;
};

// What a journal says about itself, read without its pictures.
struct JournalHeader {
    JournalOwner owner;
    std::time_t time = 0;
    int layerCount = 0;
};

// "<user data>/Recovery".
std::wstring GetRecoveryFolder();
// The set's journal folder: "<recovery folder>/<id>" where the id is the
// same for every spelling of the set's folder. Not created here.
std::wstring RecoveryJournalFolderFor(const std::wstring& setFolder);
// The journal folders under the recovery folder, sorted by name; the folder
// kept aside for damaged journals is not one of them.
std::vector<std::wstring> ListRecoveryJournals();

// Writes the state as the journal in `journalFolder` (created private to the
// user), replacing the previous state only when the new one is complete.
// False with errno telling why; the previous state then stays.
bool WriteRecoveryJournal(const std::wstring& journalFolder, const SetSnapshot& state, const JournalOwner& owner);

// Reads the description only. False with `why` for a journal that is not
// whole (missing, cut short, foreign or inconsistent).
bool ReadJournalHeader(const std::wstring& journalFolder, JournalHeader& header, std::wstring& why);

// Reads the whole state. Pictures whose file still holds the same bytes keep
// their paths; every other picture comes from the journal, unpacked into
// `pictureFolder` (which must exist). False with `why`, and nothing restored,
// for a journal that is not whole.
std::shared_ptr<SetSnapshot> ReadRecoveryJournal(const std::wstring& journalFolder, const std::wstring& pictureFolder,
                                                 JournalHeader& header, std::wstring& why);

// Deletes the journal folder. Only journals are ever deleted: a folder that
// is not under the recovery folder is left alone.
bool RemoveRecoveryJournal(const std::wstring& journalFolder);

// Moves a journal that does not read into "<recovery folder>/Damaged/", for
// inspection, and returns where it went (empty when it could not be moved,
// in which case it stays where it was).
std::wstring SetJournalAside(const std::wstring& journalFolder);
