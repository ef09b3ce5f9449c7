#pragma once
// Names and files around a set's scene file (the set folder, a separator and
// "scene.tvn" or "config.xml").
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
