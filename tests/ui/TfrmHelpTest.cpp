#include "ui/TfrmHelp.h"

#include "UiTestSupport.h"

#include <QTextBrowser>

namespace harvexa::test {
namespace {

using TfrmHelpTest = UiTest;

TEST_F(TfrmHelpTest, ShowsTheTopicFileOfTheHelpFolder) {
    folder.WriteFile("help/Sample_Topic.html",
                     "<html><head><meta charset=\"utf-8\"></head><body><h1>Sample heading</h1>"
                     "<p>Captured data: café</p></body></html>");
    TfrmHelp* help = ShowHelpTopic("Sample_Topic");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const QString text = help->Browser()->toPlainText();
    EXPECT_TRUE(text.contains("Sample heading"));
    EXPECT_TRUE(text.contains(QString::fromUtf8("café")));
}

TEST_F(TfrmHelpTest, AMissingTopicSaysSoInTheWindow) {
    TfrmHelp help;
    EXPECT_FALSE(help.ShowTopic("No_Such_Topic"));
    const QString text = help.Browser()->toPlainText();
    EXPECT_TRUE(text.contains("not found"));
    EXPECT_TRUE(text.contains("No_Such_Topic"));
    EXPECT_EQ(help.CurrentTopic(), "No_Such_Topic");
}

TEST_F(TfrmHelpTest, ATopicNameCannotLeaveTheHelpFolder) {
    folder.WriteFile("secret.html", "<p>private text</p>");
    TfrmHelp help;
    EXPECT_FALSE(help.ShowTopic("../secret"));
    EXPECT_FALSE(help.Browser()->toPlainText().contains("private text"));
}

TEST_F(TfrmHelpTest, OneHelpWindowServesEveryTopic) {
    folder.WriteFile("help/Second.html", "<p>second topic</p>");
    TfrmHelp* first = ShowHelpTopic("Presentation");
    TfrmHelp* second = ShowHelpTopic("Second");
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->CurrentTopic(), "Second");
    EXPECT_TRUE(second->Browser()->toPlainText().contains("second topic"));
}

} // namespace
} // namespace harvexa::test
