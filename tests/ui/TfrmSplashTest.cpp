#include "ui/TfrmSplash.h"

#include "UiTestSupport.h"

#include <QLabel>

namespace harvexa::test {
namespace {

TEST(TfrmSplashTest, ShowsTheProgramNameAndTheGivenVersion) {
    TfrmSplash splash("1.2.3");
    splash.ShowAndRefresh();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.findChild<QLabel*>("lbProgramName")->text(), "Harvexa");
    EXPECT_TRUE(splash.findChild<QLabel*>("lbVersion")->text().contains("1.2.3"));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::SplashScreen));
}

} // namespace
} // namespace harvexa::test
