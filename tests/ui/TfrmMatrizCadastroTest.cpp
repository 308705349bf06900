#include "ui/TfrmMatrizCadastro.h"

#include "UiTestSupport.h"
#include "ui/TfrmMatrizSDI.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace harvexa::test {
namespace {

using TfrmMatrizCadastroTest = UiTest;

int RunAndPress(TfrmMatrizCadastro& editor, QPushButton* button) {
    QTimer::singleShot(0, &editor, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    return editor.exec();
}

TEST_F(TfrmMatrizCadastroTest, OkAcceptsAndCancelRejects) {
    TfrmMatrizCadastro editor(lang);
    EXPECT_EQ(RunAndPress(editor, editor.OkButton()), QDialog::Accepted);
    EXPECT_EQ(RunAndPress(editor, editor.CancelButton()), QDialog::Rejected);
}

TEST_F(TfrmMatrizCadastroTest, ButtonsAndTitlePanelCarryTheirTags) {
    TfrmMatrizCadastro editor(lang);
    EXPECT_EQ(editor.OkButton()->property("tag").toInt(), 1);
    EXPECT_EQ(editor.CancelButton()->property("tag").toInt(), 2);
    EXPECT_EQ(editor.TitleLabel()->objectName(), "lbTituloCadastro");
    EXPECT_EQ(editor.TitleLabel()->property("tag").toInt(), 3);
    EXPECT_EQ(editor.Tag(), 300);
    EXPECT_TRUE(editor.isModal());
}

TEST_F(TfrmMatrizCadastroTest, ShowingLocalisesTitlePanelAndCancelButOkNeverShowsTheTitle) {
    TfrmMatrizCadastro editor(lang, 2300);
    editor.show();
    EXPECT_EQ(editor.windowTitle().toStdString(), Text(2300, 1));
    EXPECT_EQ(editor.TitleLabel()->text().toStdString(), Text(2300, 3));
    EXPECT_EQ(editor.CancelButton()->text().toStdString(), Text(2300, 2));
    EXPECT_NE(editor.OkButton()->text(), editor.windowTitle());
    EXPECT_FALSE(editor.OkButton()->text().isEmpty());
}

TEST_F(TfrmMatrizCadastroTest, EditorsHaveAFixedSizeAndOpenCentred) {
    TfrmMatrizCadastro editor(lang);
    editor.show();
    EXPECT_EQ(editor.minimumSize(), editor.maximumSize());
    const QPoint screenCentre = editor.screen()->availableGeometry().center();
    EXPECT_LE((editor.frameGeometry().center() - screenCentre).manhattanLength(), 4);
}

TEST_F(TfrmMatrizCadastroTest, SingleWindowsOpenCentredWithoutMinimiseOrMaximise) {
    TfrmMatrizSDI window(lang, 1800);
    window.resize(300, 200);
    window.show();
    const QPoint screenCentre = window.screen()->availableGeometry().center();
    EXPECT_LE((window.frameGeometry().center() - screenCentre).manhattanLength(), 4);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

} // namespace
} // namespace harvexa::test
