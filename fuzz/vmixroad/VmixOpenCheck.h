#pragma once
// Feeds one candidate set folder (a folder archive: "config.xml" with its
// pictures, or "scene.tvn") through the editor's opening road: the check of
// which set the folder holds, the loader, the stored crop and layer shots,
// and the pictures and UV maps the set names inside its folder. Shared by the
// libFuzzer target and the test that replays its corpus.
#include <string>

std::string CheckVmixOpenRoad(const std::string& bytes, const std::wstring& folder);
