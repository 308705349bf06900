#include "ui/OpenWindows.h"

#include "UiTestSupport.h"
#include "ui/TfrmMain.h"
#include "ui/TfrmMatrizCadastro.h"
#include "ui/TfrmMatrizChild.h"
#include "ui/TfrmMatrizSDI.h"

#include <QPointer>
#include <QTest>

namespace harvexa::test {
namespace {

class OpenWindowsTest : public UiTest {
protected:
    // What the research-list command does: bring the open list forward or create it.
    void OpenResearchList() {
        if (ActivateOpenWindow("frmResearchMain"))
            return;
        auto* list = new TfrmMatrizChild(lang, 500);
        list->setObjectName("frmResearchMain");
        list->show();
        ++created;
    }

    int CountWindowsNamed(const QString& name) const {
        int count = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == name)
                ++count;
        return count;
    }

    int created = 0;
};

TEST_F(OpenWindowsTest, ASecondOpeningBringsTheOpenWindowForwardInsteadOfCreatingAnother) {
    OpenResearchList();
    QWidget* first = FindOpenWindow("frmResearchMain");
    ASSERT_NE(first, nullptr);
    auto* other = new TfrmMatrizChild(lang, 200);
    other->setObjectName("frmSearchEngine");
    other->show();
    QApplication::setActiveWindow(other);

    OpenResearchList();

    EXPECT_EQ(created, 1);
    EXPECT_EQ(CountWindowsNamed("frmResearchMain"), 1);
    EXPECT_EQ(FindOpenWindow("frmResearchMain"), first);
    EXPECT_TRUE(QTest::qWaitForWindowActive(first, 1000));
}

TEST_F(OpenWindowsTest, NamesMatchIgnoringLetterCase) {
    TfrmMatrizSDI window(lang, 1800);
    window.setObjectName("frmSysConfig");
    window.show();
    EXPECT_TRUE(ActivateOpenWindow("FRMSYSCONFIG"));
    EXPECT_TRUE(ActivateOpenWindow("frmsysconfig"));
    EXPECT_FALSE(ActivateOpenWindow("frmSysConfig2"));
}

TEST_F(OpenWindowsTest, FindsWindowsOfTheThreeWindowBasesOnly) {
    TfrmMatrizChild child(lang, 500);
    child.setObjectName("frmChild");
    TfrmMatrizCadastro editor(lang);
    editor.setObjectName("frmEditor");
    TfrmMatrizSDI single(lang, 1800);
    single.setObjectName("frmSingle");
    TfrmMain main(lang, messages);
    QWidget plain;
    plain.setObjectName("frmPlain");
    for (QWidget* window : std::initializer_list<QWidget*>{&child, &editor, &single, &main, &plain})
        window->show();

    EXPECT_TRUE(ActivateOpenWindow("frmChild"));
    EXPECT_TRUE(ActivateOpenWindow("frmEditor"));
    EXPECT_TRUE(ActivateOpenWindow("frmSingle"));
    EXPECT_FALSE(ActivateOpenWindow("frmMain"));
    EXPECT_FALSE(ActivateOpenWindow("frmPlain"));
}

TEST_F(OpenWindowsTest, AClosedListWindowIsNotFoundEvenBeforeItIsDeleted) {
    OpenResearchList();
    QPointer<QWidget> list = FindOpenWindow("frmResearchMain");
    ASSERT_FALSE(list.isNull());

    list->close();
    ASSERT_FALSE(list.isNull()); // deletion is still pending
    EXPECT_FALSE(ActivateOpenWindow("frmResearchMain"));

    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(list.isNull());
    OpenResearchList();
    EXPECT_EQ(created, 2);
}

TEST_F(OpenWindowsTest, AWindowCreatedHiddenCountsAsOpen) {
    TfrmMatrizSDI files(lang, 600);
    files.setObjectName("frmDadosExportadosArquivos");
    EXPECT_TRUE(ActivateOpenWindow("frmDadosExportadosArquivos"));
    files.show();
    files.close();
    EXPECT_FALSE(ActivateOpenWindow("frmDadosExportadosArquivos"));
}

TEST_F(OpenWindowsTest, AMinimisedWindowIsRestored) {
    TfrmMatrizSDI window(lang, 1800);
    window.setObjectName("frmSysConfig");
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    EXPECT_TRUE(ActivateOpenWindow("frmSysConfig"));
    EXPECT_FALSE(window.isMinimized());
}

} // namespace
} // namespace harvexa::test
