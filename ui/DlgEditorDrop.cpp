// Files dropped on the preview: pictures become layers of the open set, a
// set (its folder, "scene.tvn" or "config.xml") opens as Open does, with the
// question about unsaved changes; anything else is refused with a message.
#include "DlgEditor.h"

#include "formats/SceneFile.h"
#include "formats/VmixFormat.h"
#include "lumora/Lang.h"
#include "lumora/MyTabCtrl.h"
#include "model/MultiViewSource.h"
#include "platform/FileUtil.h"
#include "ui/EditHistory.h"
#include "ui/MessageBox.h"
#include "ui/WndEditorPosition.h"

#include <QImageReader>

namespace {

constexpr int kLayersPage = 1;

bool IsSetPath(const std::wstring& path)
{
    const std::wstring name = platform::FileNamePart(path);
    return platform::FolderExists(path) || name == kSceneFileName || name == kVmixConfigFileName;
}

// A PNG, JPEG or BMP file that reads as a picture.
bool IsLayerPicture(const std::wstring& path)
{
    const QString extension = QString::fromStdWString(platform::ExtensionPart(path)).toLower();
    if (extension != QLatin1String(".png") && extension != QLatin1String(".jpg") &&
        extension != QLatin1String(".jpeg") && extension != QLatin1String(".bmp"))
        return false;
    QImageReader reader(QString::fromStdWString(path));
    return platform::FileExists(path) && reader.canRead();
}

std::wstring FileNames(const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const std::wstring& path : paths)
        names += (names.empty() ? L"" : L"\n") + platform::FileNamePart(path);
    return names;
}

}  // namespace

void CDlgEditor::OnFilesDropped(const std::vector<std::wstring>& paths)
{
    if (paths.empty())
        return;
    if (paths.size() == 1 && IsSetPath(paths[0])) {
        OpenFromCommandLine(paths[0]);
        return;
    }
    std::vector<std::wstring> pictures, refused;
    for (const std::wstring& path : paths)
        (IsLayerPicture(path) ? pictures : refused).push_back(path);
    if (!pictures.empty() && (!m_scene || !m_position)) {
        ShowMessageBox(this, Lang::LoadLangString(961));
        pictures.clear();
    }
    if (!pictures.empty()) {
        // The new layers are one step of their own, shown on the Layers page.
        m_history->Record();
        if (m_tab->currentIndex() != kLayersPage) {
            m_tab->setCurrentIndex(kLayersPage);
            OnTabChanged(kLayersPage);
        }
        for (const std::wstring& path : pictures)
            m_position->AddLayerFromFile(path);
        m_history->Record();
    }
    if (!refused.empty())
        ShowMessageBox(this, Lang::FormatLangString(960, FileNames(refused)));
}
