#pragma once
// The program's built-in texts (Simplified Chinese): its string table and the
// default captions of its dialog and menu templates. They are a Qt resource
// with the keys of a language file, so a language file overrides them entry
// by entry (see lumora/Lang.h).
#include <string>
#include <vector>

// Empty when the program has no such text.
std::wstring LoadResourceString(unsigned id);
std::wstring ResourceDialogTitle(int dialogId);
std::wstring ResourceDialogText(int dialogId, int controlId);
std::wstring ResourceMenuText(int menuId, int commandId);

// Every key of a section ("String", "Menu", "Dialog") in file order.
std::vector<std::wstring> ResourceTextKeys(const std::wstring& section);
// The text under a language-file key ("IDS127", "ID128_32816", "IDD392_1603"),
// with "##" as a line break: the form a language file holds.
std::wstring ResourceTextByKey(const std::wstring& section, const std::wstring& key);

// Makes the string table the one Lang falls back to.
void RegisterResourceStrings();
