#pragma once
// The program's language start-up: the language system works in the user
// data folder under the name "Kelvane", falls back to the program's own
// string table, and on the first run receives the language files that ship
// with the program (and, after an upgrade, their new texts), so a user whose
// system is not Chinese sees English at once.
#include <string>

// <program folder>/Language: the language files installed with the program.
std::wstring GetShippedLanguageFolder();

// Brings every language file ("*.ini", not "Lang.ini") of `from` into `to`,
// creating `to`: a file `to` lacks is copied; into one it has, the texts it
// lacks and the shipped texts the user never changed are merged, while texts
// the user edited stay. Returns how many files were copied or updated.
int CopyMissingLanguageFiles(const std::wstring& from, const std::wstring& to);

// Lang::SetLangPath (user data folder), Lang::SetAppName ("Kelvane"), the
// string table, the shipped files, then Lang::LoadLanguage.
void InitLanguages(const std::wstring& shippedFolder = GetShippedLanguageFolder());
