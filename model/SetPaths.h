#pragma once
// Names and files around a set's scene file (the set folder, a separator and
// "scene.tvn" or "config.xml").
#include "SourceInfo.h"

#include <string>

// The set folder, made absolute against the current folder when relative.
std::wstring SetFolderOf(const std::wstring& setFile);
// The set's name: the last non-empty component of its folder.
std::wstring SetFolderNameOf(const std::wstring& setFile);
// The set folder followed by "thumbnail.jpg".
std::wstring SetThumbnailPathOf(const std::wstring& setFile);
// "<set folder>/<n>.bmp": where the shots panel keeps the picture of shot n.
std::wstring ShotPreviewPathOf(const std::wstring& setFile, int shot);
// A name that can stand for one folder inside a parent: not empty, no
// separator, not "." or "..".
bool IsPlainFolderName(const std::wstring& name);

// The record of the set in a folder, told apart as the editor's open command
// does: a folder whose "scene.tvn" reads is a native set (kind 4, variant 1),
// otherwise one whose "config.xml" reads is a vMix set (kind 20, variant 2).
// False when it is neither.
bool MakeSetRecordForFolder(const std::wstring& folder, SourceInfo& info);
