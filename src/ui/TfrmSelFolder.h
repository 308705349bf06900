#pragma once

#include "ui/TfrmMatrizCadastro.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

class QComboBox;
class QFileSystemModel;
class QTreeView;

namespace harvexa {

// The folder-choice dialog: a folder tree rooted at the start folder and, above it, a list of
// places ("/", the home folder, mounted volumes) that re-roots the tree.
class TfrmSelFolder final : public TfrmMatrizCadastro {
    Q_OBJECT
public:
    static constexpr int kSection = 2300;

    TfrmSelFolder(CLLang& lang, const std::string& startFolder, QWidget* parent = nullptr);

    // The selected folder, or the tree's root when nothing is selected; no trailing "/".
    std::string SelectedFolder() const;
    QString RootFolder() const { return m_root; }
    void SetRootFolder(const QString& folder);
    // Selects `folder` in the tree (it must lie under the root); false when it is not shown there.
    bool SelectFolder(const QString& folder);
    QStringList Drives() const;

private:
    void FillDrives();
    void DriveChosen(int index);

    QComboBox* m_cbDrives = nullptr;
    QTreeView* m_tvFolders = nullptr;
    QFileSystemModel* m_model = nullptr;
    QString m_root;
};

// Shows the folder-choice dialog modally: the picked folder, or nothing when the user cancels.
std::optional<std::string> ChooseFolder(CLLang& lang, const std::string& startFolder,
                                        QWidget* parent = nullptr);

} // namespace harvexa
