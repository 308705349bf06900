#include "ui/TfrmSelFolder.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace harvexa {

namespace {

// Kernel and image file systems are not places where a user keeps folders.
bool IsUserVolume(const QStorageInfo& volume) {
    static const QList<QByteArray> kHidden = {"tmpfs",  "devtmpfs", "squashfs", "overlay", "proc",
                                              "sysfs",  "cgroup",   "cgroup2",  "devpts",  "efivarfs",
                                              "autofs", "nsfs",     "tracefs",  "debugfs", "fuse.portal"};
    return volume.isValid() && volume.isReady() && !kHidden.contains(volume.fileSystemType());
}

QString StartFolderOrHome(const std::string& start) {
    const QFileInfo info(QString::fromStdString(start));
    if (!start.empty() && info.isDir())
        return QDir::cleanPath(info.absoluteFilePath());
    return QDir::homePath();
}

} // namespace

TfrmSelFolder::TfrmSelFolder(CLLang& lang, const std::string& startFolder, QWidget* parent)
    : TfrmMatrizCadastro(lang, kSection, parent) {
    setObjectName("frmSelFolder");
    TitleLabel()->setText(QStringLiteral("Choose a folder"));

    auto* layout = new QVBoxLayout(Content());
    layout->setContentsMargins(0, 0, 0, 0);
    auto* driveLabel = new QLabel(QStringLiteral("&Drive:"), Content());
    driveLabel->setObjectName("lbDrive");
    driveLabel->setProperty("tag", 4);
    layout->addWidget(driveLabel);
    m_cbDrives = new QComboBox(Content());
    m_cbDrives->setObjectName("cbDrives");
    driveLabel->setBuddy(m_cbDrives);
    layout->addWidget(m_cbDrives);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_tvFolders = new QTreeView(Content());
    m_tvFolders->setObjectName("tvFolders");
    m_tvFolders->setModel(m_model);
    m_tvFolders->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tvFolders->hideColumn(column);
    m_tvFolders->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tvFolders->setSortingEnabled(true);
    m_tvFolders->sortByColumn(0, Qt::AscendingOrder);
    m_tvFolders->setMinimumSize(380, 320);
    layout->addWidget(m_tvFolders, 1);

    const QString start = StartFolderOrHome(startFolder);
    FillDrives();
    SetRootFolder(start);
    connect(m_cbDrives, &QComboBox::activated, this, &TfrmSelFolder::DriveChosen);
}

void TfrmSelFolder::FillDrives() {
    QStringList places{QStringLiteral("/"), QDir::homePath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::cleanPath(volume.rootPath());
        if (IsUserVolume(volume) && !places.contains(root))
            places.append(root);
    }
    for (const QString& place : places)
        m_cbDrives->addItem(place, place);
}

QStringList TfrmSelFolder::Drives() const {
    QStringList drives;
    for (int i = 0; i < m_cbDrives->count(); ++i)
        drives.append(m_cbDrives->itemData(i).toString());
    return drives;
}

void TfrmSelFolder::DriveChosen(int index) {
    SetRootFolder(m_cbDrives->itemData(index).toString());
}

void TfrmSelFolder::SetRootFolder(const QString& folder) {
    m_root = QDir::cleanPath(folder);
    m_model->setRootPath(m_root);
    m_tvFolders->setRootIndex(m_model->index(m_root));
    m_tvFolders->clearSelection();
    m_tvFolders->setCurrentIndex({});
    // Show the place the tree now starts from: the deepest listed place that contains it.
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_cbDrives->count(); ++i) {
        const QString place = m_cbDrives->itemData(i).toString();
        const bool contains =
            m_root == place || place == QLatin1String("/") || m_root.startsWith(place + '/');
        if (contains && place.size() > bestLength) {
            best = i;
            bestLength = place.size();
        }
    }
    if (best >= 0)
        m_cbDrives->setCurrentIndex(best);
}

bool TfrmSelFolder::SelectFolder(const QString& folder) {
    const QString path = QDir::cleanPath(folder);
    if (path == m_root || !path.startsWith(m_root == QLatin1String("/") ? m_root : m_root + '/') ||
        !QFileInfo(path).isDir())
        return false;
    const QModelIndex index = m_model->index(path);
    if (!index.isValid())
        return false;
    m_tvFolders->setCurrentIndex(index);
    m_tvFolders->scrollTo(index);
    return true;
}

std::string TfrmSelFolder::SelectedFolder() const {
    const QModelIndexList selected = m_tvFolders->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return m_root.toStdString();
    return QDir::cleanPath(m_model->filePath(selected.first())).toStdString();
}

std::optional<std::string> ChooseFolder(CLLang& lang, const std::string& startFolder, QWidget* parent) {
    TfrmSelFolder dialog(lang, startFolder, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.SelectedFolder();
}

} // namespace harvexa
