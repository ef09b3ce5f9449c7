#pragma once
// Brings the texts of a language file that ships with the program into the
// user's copy of it. The user's copy may hold texts the user changed; those
// stay. A pristine copy of the shipped file that the user's copy was last
// brought up to date with is kept beside it (in a hidden folder), so a later
// program can tell a text the user changed from one an older program shipped.
#include <string>

namespace platform {
class IniFile;
}

// What a merge did to the user's file.
enum class LanguageMergeResult {
    Unchanged,  // already up to date
    Copied,     // the user had no copy: the shipped file was copied
    Updated,    // texts were added or replaced
    Failed,     // a file could not be read or written; the user's file is as it was
};

// The folder, inside the user's language folder, that keeps the shipped
// files the user's copies were last merged with.
std::wstring ShippedLanguageBaseFolder(const std::wstring& userLanguageFolder);

// Merges the keys of `shipped` into `user`:
// - a key the user's file lacks is added with the shipped text;
// - a key whose user text equals the text of `base` (what was shipped last
//   time) takes the new shipped text: the user never changed it;
// - any other key keeps the user's text. Without a base every existing text
//   is kept. Returns how many keys changed.
int MergeLanguageTexts(const platform::IniFile& shipped, const platform::IniFile* base, platform::IniFile& user);

// Merges the shipped file into the user's file of the same name (copying it
// when the user has none) and records the shipped file as the new base. The
// user's file is written atomically and only when something changed.
LanguageMergeResult MergeShippedLanguageFile(const std::wstring& shippedFile, const std::wstring& userFile);
