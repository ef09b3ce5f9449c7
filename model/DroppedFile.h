#pragma once
// Files dropped on the preview become sources in the shown scene: text files
// a text source, pictures an image source, audio and video a media source.
#include <obs.h>
#include <string>

enum class DroppedFileClass { None, Text, Image, Media };

// The class of a file by its extension, compared without case.
DroppedFileClass ClassifyDroppedFile(const std::string& path);

// Adds a source for the file (8-bit path in the locale charset) to the scene,
// named after the file name, made unique with " (2)", " (3)", ... False for
// an unknown extension or when the source cannot be made.
bool AddDroppedFile(obs_scene_t* scene, const std::string& ansiPath);
