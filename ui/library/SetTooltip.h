#pragma once
// What the library's tooltip says about a set: its type, read from the
// header of the folder's "scene.tvn", and its folder.
#include <string>

// 4 (camera shots: a virtual studio) or another shot mode; 0 when the folder
// has no readable scene header or its thumbnail size is 0.
int SetTypeOfFolder(const std::wstring& folder);

// "Type : <type>\r\nPath : <folder>\r\n-----…\r\n<double-click to edit>" in
// the user's language.
std::wstring SetTooltipText(const std::wstring& folder);
