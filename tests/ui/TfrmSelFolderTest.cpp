#include "ui/TfrmSelFolder.h"

#include "UiTestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <filesystem>

namespace harvexa::test {
namespace {

class TfrmSelFolderTest : public UiTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.Path() / "export" / "research 1");
        std::filesystem::create_directories(folder.Path() / "export" / "research 2");
    }

    std::string ExportFolder() const { return (folder.Path() / "export").string(); }

    // Runs `action` on the folder dialog once its modal loop is running.
    static void WhenDialogOpen(std::function<void(TfrmSelFolder&)> action) {
        QTimer::singleShot(0, [action = std::move(action)] {
            auto* dialog = qobject_cast<TfrmSelFolder*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            action(*dialog);
        });
    }
};

TEST_F(TfrmSelFolderTest, CancelGivesNoFolder) {
    WhenDialogOpen([](TfrmSelFolder& dialog) { dialog.CancelButton()->click(); });
    EXPECT_EQ(ChooseFolder(lang, ExportFolder()), std::nullopt);
}

TEST_F(TfrmSelFolderTest, OkGivesTheSelectedFolder) {
    const std::string wanted = ExportFolder() + "/research 2";
    WhenDialogOpen([wanted](TfrmSelFolder& dialog) {
        ASSERT_TRUE(dialog.SelectFolder(QString::fromStdString(wanted)));
        dialog.OkButton()->click();
    });
    EXPECT_EQ(ChooseFolder(lang, ExportFolder()), wanted);
}

TEST_F(TfrmSelFolderTest, OkWithNothingSelectedGivesTheFolderTheTreeStartsAt) {
    WhenDialogOpen([](TfrmSelFolder& dialog) { dialog.OkButton()->click(); });
    EXPECT_EQ(ChooseFolder(lang, ExportFolder() + "/"), ExportFolder());
}

TEST_F(TfrmSelFolderTest, TheTreeStartsAtTheStartFolderAndShowsFoldersOnly) {
    folder.WriteFile("export/capture.csv", "a,b\n");
    TfrmSelFolder dialog(lang, ExportFolder());
    EXPECT_EQ(dialog.RootFolder().toStdString(), ExportFolder());
    EXPECT_FALSE(dialog.SelectFolder(QString::fromStdString(ExportFolder() + "/capture.csv")));
    EXPECT_EQ(dialog.SelectedFolder(), ExportFolder());
    EXPECT_FALSE(dialog.SelectFolder(QString::fromStdString(folder.Path().string())));
}

TEST_F(TfrmSelFolderTest, AMissingStartFolderStartsAtHome) {
    TfrmSelFolder dialog(lang, ExportFolder() + "/no such folder");
    EXPECT_EQ(dialog.RootFolder(), QDir::homePath());
}

TEST_F(TfrmSelFolderTest, ThePlaceListOffersRootAndHomeAndReRootsTheTree) {
    TfrmSelFolder dialog(lang, ExportFolder());
    const QStringList drives = dialog.Drives();
    ASSERT_GE(drives.size(), 2);
    EXPECT_EQ(drives[0], "/");
    EXPECT_EQ(drives[1], QDir::homePath());
    QStringList unique = drives;
    EXPECT_EQ(unique.removeDuplicates(), 0);

    auto* places = dialog.findChild<QComboBox*>("cbDrives");
    places->setCurrentIndex(0);
    emit places->activated(0);
    EXPECT_EQ(dialog.RootFolder(), "/");
    EXPECT_EQ(dialog.SelectedFolder(), "/");
}

TEST_F(TfrmSelFolderTest, TheDialogIsLocalisedFromItsSection) {
    TfrmSelFolder dialog(lang, ExportFolder());
    dialog.show();
    EXPECT_EQ(dialog.Tag(), 2300);
    EXPECT_EQ(dialog.windowTitle().toStdString(), Text(2300, 1));
    EXPECT_EQ(dialog.TitleLabel()->text().toStdString(), Text(2300, 3));
}

} // namespace
} // namespace harvexa::test
