#pragma once
// The pictures of a set's shots. The saved ones are "<n>.bmp" in the set
// folder, numbered as the shots are. A picture taken while the set is edited
// goes into the set's cache folder instead, named after what it shows (the
// shot's camera values, and in layer-shot sets the layer), so the set folder
// changes only when the set is saved. Because a picture belongs to what it
// shows and not to a number, removing a shot, undo and redo find the right
// pictures without renaming any file.
#include <map>
#include <string>
#include <vector>

class CShotPictures {
public:
    CShotPictures() = default;
    // The pictures taken for this set and not saved go with it.
    ~CShotPictures();
    CShotPictures(const CShotPictures&) = delete;
    CShotPictures& operator=(const CShotPictures&) = delete;

    // A set in setFolder was opened: the pictures "<n>.bmp" there show its
    // shots as they are now (keys[n] is shot n's key).
    void Open(const std::wstring& setFolder, const std::vector<std::string>& keys);
    // The file that shows a shot of this key, or empty when there is none.
    std::wstring Find(const std::string& key) const;
    // Where a new picture for the key goes; empty when the cache folder
    // cannot be made.
    std::wstring NewPicturePath(const std::string& key);
    // After the set was saved into `folder`: shot n's picture becomes
    // "<n>.bmp" there, numbers without a shot or without a picture are
    // removed. False when a picture could not be written.
    bool SaveInto(const std::wstring& folder, const std::vector<std::string>& keys);

    // Numbers a set folder may hold pictures for.
    static constexpr int kMaxPictures = 10;

private:
    std::wstring CachePath(const std::string& key) const;
    // Keeps in the cache the saved pictures that the save is about to replace.
    void KeepReplacedPictures(const std::wstring& folder, const std::vector<std::string>& keys);

    std::wstring m_cacheFolder;  // pictures of this editing session
    std::map<std::string, std::wstring> m_saved;  // key -> "<n>.bmp" in the set folder
};

// What a shot's picture shows, as a short name: its camera values and, in a
// layer-shot set, the layer it brings to full frame (null for none).
struct LayerInfo;
struct ShotInfo;
std::string ShotPictureKey(const ShotInfo& shot, int shotMode, const LayerInfo* shownLayer);
