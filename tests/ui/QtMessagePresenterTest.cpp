#include "ui/QtMessagePresenter.h"

#include "UiTestSupport.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace harvexa::test {
namespace {

struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Records the open message box and presses `answer` on it.
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->icon(), box->windowTitle(), box->text(), box->standardButtons()};
        box->button(answer)->click();
    });
}

TEST(QtMessagePresenterTest, MessagesUseTheirIconCaptionAndOneOkButton) {
    QtMessagePresenter presenter;
    struct Case {
        MessageKind kind;
        QMessageBox::Icon icon;
    };
    for (const Case& entry : {Case{MessageKind::Information, QMessageBox::Information},
                              Case{MessageKind::Error, QMessageBox::Critical}}) {
        SeenBox seen;
        AnswerNextBox(seen, QMessageBox::Ok);
        presenter.ShowMessage(entry.kind, "Harvexa - Caption", "The message");
        EXPECT_EQ(seen.icon, entry.icon);
        EXPECT_EQ(seen.title, "Harvexa - Caption");
        EXPECT_EQ(seen.text, "The message");
        EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

TEST(QtMessagePresenterTest, QuestionsAnswerTrueOnlyForYes) {
    QtMessagePresenter presenter;
    for (const auto& [button, expected] :
         {std::pair{QMessageBox::Yes, true}, std::pair{QMessageBox::No, false}}) {
        SeenBox seen;
        AnswerNextBox(seen, button);
        EXPECT_EQ(presenter.AskQuestion("Harvexa - Question", "Close Harvexa?"), expected);
        EXPECT_EQ(seen.icon, QMessageBox::Question);
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    }
}

} // namespace
} // namespace harvexa::test
