#include "SetTree.h"

#include "formats/SceneFile.h"
#include "formats/VmixFormat.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool HoldsSetFile(const fs::path& folder)
{
    std::error_code ec;
    for (const std::wstring& name : {std::wstring(kSceneFileName), std::wstring(kVmixConfigFileName)})
        if (fs::is_regular_file(folder / platform::WideToUtf8(name), ec))
            return true;
    return false;
}

class SetSearch {
public:
    SetSearch(const fs::path& root, const std::string& leaveOut) : m_root(root), m_leaveOut(leaveOut) {}

    SetTree Run()
    {
        if (HoldsSetFile(m_root))
            m_tree.sets.push_back({m_root.string(), m_root.filename().string()});
        else
            Search(m_root);
        return std::move(m_tree);
    }

private:
    bool IsLeftOut(const fs::path& folder) const
    {
        std::error_code ec;
        return !m_leaveOut.empty() && fs::equivalent(folder, m_leaveOut, ec);
    }

    // The plain subfolders of a folder, by name.
    std::vector<fs::path> Subfolders(const fs::path& folder)
    {
        std::vector<fs::path> folders;
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            const fs::path& path = it->path();
            std::error_code typeError;
            if (path.filename().string().starts_with('.') || !it->is_directory(typeError) || it->is_symlink(typeError))
                continue;
            folders.push_back(path);
        }
        if (ec)
            m_tree.unreadable.push_back({folder.string(), ec.message()});
        std::sort(folders.begin(), folders.end());
        return folders;
    }

    void Search(const fs::path& folder)
    {
        for (const fs::path& sub : Subfolders(folder)) {
            if (IsLeftOut(sub))
                continue;
            if (HoldsSetFile(sub))
                m_tree.sets.push_back({sub.string(), sub.lexically_relative(m_root).string()});
            else
                Search(sub);
        }
    }

    fs::path m_root;
    std::string m_leaveOut;
    SetTree m_tree;
};

// Absolute, so a set searched as "." still has its own name; no trailing '/'.
fs::path AbsoluteFolder(const std::string& folder)
{
    std::error_code ec;
    fs::path path = fs::absolute(folder, ec).lexically_normal();
    if (path.has_relative_path() && !path.has_filename())
        path = path.parent_path();
    return path;
}

}  // namespace

SetTree FindSetsUnder(const std::string& root, const std::string& leaveOut)
{
    return SetSearch(AbsoluteFolder(root), leaveOut).Run();
}
