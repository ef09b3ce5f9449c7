#pragma once
// Asked when a set is saved into a folder that already holds a set of that
// name: save under a new name (the folder is made here) or overwrite.
#include "lumora/MyPopDialog.h"

#include <functional>
#include <string>

class QImage;
class QLineEdit;
class QRadioButton;

class CDlgExist : public CMyPopDialog {
public:
    CDlgExist(std::wstring parentFolder, std::wstring name, QWidget* parent = nullptr);

    // After OK: the name to save under (unchanged when overwriting).
    const std::wstring& GetName() const { return m_name; }
    // The existing set's picture, or a null image.
    static QImage LoadExistingPicture(const std::wstring& setFolder);

    void accept() override;

private:
    std::wstring m_parentFolder;
    std::wstring m_name;
    QLineEdit* m_nameEdit = nullptr;
    QRadioButton* m_rename = nullptr;
    QRadioButton* m_overwrite = nullptr;
    QWidget* m_pictureFrame = nullptr;
};

// The question the saves ask when the target folder exists: true to go on
// under `name` (changed by a rename, the new folder made), false to cancel.
// Tests answer it with a handler of their own.
bool AskExistingTarget(QWidget* parent, const std::wstring& parentFolder, std::wstring& name);
void SetExistingTargetHandler(std::function<bool(const std::wstring& parentFolder, std::wstring& name)> handler);
