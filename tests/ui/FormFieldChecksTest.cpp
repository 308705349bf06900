#include "ui/FormFieldChecks.h"

#include "UiTestSupport.h"

#include <QLineEdit>
#include <QTest>

namespace harvexa::test {
namespace {

class FormFieldChecksTest : public UiTest {
protected:
    void SetUp() override {
        window.resize(200, 100);
        other->setFocus();
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window, 2000));
    }

    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    QLineEdit* other = new QLineEdit(&window);
    FormFieldChecks checks{lang, messages};
};

TEST_F(FormFieldChecksTest, ARefusedNumberFocusesTheFieldAndShowsTheError) {
    edit->setText("1001");
    EXPECT_FALSE(checks.CheckNumberField(*edit, 1000, "Page size", 5));
    EXPECT_TRUE(edit->hasFocus());
    ASSERT_EQ(presenter.messages.size(), 1u);
    EXPECT_EQ(presenter.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(presenter.messages[0].caption, Text(6000, 10));
    EXPECT_EQ(presenter.messages[0].text, "(Page size) " + Text(5000, 41) + " 5..1000");
}

TEST_F(FormFieldChecksTest, AcceptedValuesShowNothingAndLeaveTheFocus) {
    struct Case {
        const char* value;
        bool number;
    };
    for (const Case& entry :
         {Case{"0", true}, Case{"1000", true}, Case{"5", true}, Case{"/home/u/data/", false}}) {
        edit->setText(entry.value);
        const bool accepted = entry.number ? checks.CheckNumberField(*edit, 1000, "Page size", 5)
                                           : checks.CheckTextField(*edit, false, "Folder");
        EXPECT_TRUE(accepted) << entry.value;
    }
    EXPECT_TRUE(presenter.messages.empty());
    EXPECT_TRUE(other->hasFocus());
}

TEST_F(FormFieldChecksTest, RefusedTextsNameTheFieldInTheMessage) {
    for (const char* value : {"12", "3.5", ""}) {
        presenter.messages.clear();
        other->setFocus();
        EXPECT_FALSE(checks.CheckTextField(*edit, QString::fromLatin1(value), false, "Short name")) << value;
        EXPECT_TRUE(edit->hasFocus()) << value;
        ASSERT_EQ(presenter.messages.size(), 1u) << value;
        EXPECT_EQ(presenter.messages[0].text, "(Short name) " + Text(5000, 40)) << value;
    }
    EXPECT_TRUE(checks.CheckTextField(*edit, QString(), true, "Short name"));
}

} // namespace
} // namespace harvexa::test
