#include "ui/WindowLocaliser.h"

#include "UiTestSupport.h"
#include "core/IniFile.h"
#include "ui/TfrmMatrizChild.h"
#include "ui/TfrmMatrizSDI.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <functional>

namespace harvexa::test {
namespace {

constexpr int kSection = 9100;

class WindowLocaliserTest : public UiTest {
protected:
    void SetUp() override { SetText(kSection, 1, "Test window"); }

    void SetText(int section, int key, const std::string& value) {
        IniFile catalogue(folder.File("config/text.ini"));
        ASSERT_TRUE(catalogue.WriteString(std::to_string(section), std::to_string(key), value));
    }
    std::optional<std::string> Stored(int section, int key) const {
        return IniFile(folder.File("config/text.ini")).Find(std::to_string(section), std::to_string(key));
    }
};

QLabel* AddLabel(QWidget& window, int tag, const QString& text) {
    auto* label = new QLabel(text, &window);
    label->setProperty("tag", tag);
    return label;
}

TEST_F(WindowLocaliserTest, MissingTextShowsMarkerFirstThenTheDesignCaptionWrittenBack) {
    TfrmMatrizChild window(lang, kSection);
    QLabel* label = AddLabel(window, 12, "Design caption");

    window.show();
    EXPECT_EQ(window.windowTitle(), "Test window");
    EXPECT_EQ(label->text(), "not found text");
    EXPECT_EQ(Stored(kSection, 12), "Design caption");

    window.hide();
    window.show();
    EXPECT_EQ(label->text(), "Design caption");
}

TEST_F(WindowLocaliserTest, TagZeroAndTheWindowsOwnTagAreNeverChanged) {
    TfrmMatrizChild window(lang, kSection);
    QLabel* zero = AddLabel(window, 0, "Zero caption");
    QLabel* own = AddLabel(window, kSection, "Own caption");
    auto* untagged = new QPushButton("Untagged button", &window);
    SetText(kSection, 0, "must not be used");
    SetText(kSection, kSection, "must not be used either");

    window.show();
    window.hide();
    window.show();

    EXPECT_EQ(zero->text(), "Zero caption");
    EXPECT_EQ(own->text(), "Own caption");
    EXPECT_EQ(untagged->text(), "Untagged button");
}

TEST_F(WindowLocaliserTest, EveryListedKindOfControlTakesItsCatalogueText) {
    TfrmMatrizChild window(lang, kSection);
    auto* tabs = new QTabWidget(&window);
    auto* menu = new QMenu("Design menu", &window);

    struct Case {
        const char* kind;
        QObject* control;
        std::function<QString()> caption;
    };
    std::vector<Case> cases;
    auto* label = new QLabel("design", &window);
    cases.push_back({"label", label, [label] {
                         return label->text();
                     }});
    auto* push = new QPushButton("design", &window);
    cases.push_back({"push button", push, [push] {
                         return push->text();
                     }});
    auto* tool = new QToolButton(&window);
    tool->setText("design");
    cases.push_back({"tool button", tool, [tool] {
                         return tool->text();
                     }});
    auto* radio = new QRadioButton("design", &window);
    cases.push_back({"radio button", radio, [radio] {
                         return radio->text();
                     }});
    auto* check = new QCheckBox("design", &window);
    cases.push_back({"check box", check, [check] {
                         return check->text();
                     }});
    auto* edit = new QLineEdit("design", &window);
    cases.push_back({"edit field", edit, [edit] {
                         return edit->text();
                     }});
    auto* group = new QGroupBox("design", &window);
    cases.push_back({"group box", group, [group] {
                         return group->title();
                     }});
    auto* page = new QWidget;
    tabs->addTab(page, "design");
    cases.push_back({"tab page", page, [tabs, page] {
                         return tabs->tabText(tabs->indexOf(page));
                     }});
    cases.push_back({"menu", menu, [menu] {
                         return menu->title();
                     }});
    QAction* action = menu->addAction("design");
    cases.push_back({"menu item", action, [action] {
                         return action->text();
                     }});
    // A control nested in a container belongs to the window as well.
    auto* nested = new QLabel("design", group);
    cases.push_back({"label inside a group box", nested, [nested] {
                         return nested->text();
                     }});

    int tag = 2;
    for (Case& entry : cases) {
        entry.control->setProperty("tag", tag);
        SetText(kSection, tag, std::string("Text ") + std::to_string(tag));
        ++tag;
    }

    window.show();

    tag = 2;
    for (const Case& entry : cases) {
        EXPECT_EQ(entry.caption().toStdString(), "Text " + std::to_string(tag)) << entry.kind;
        ++tag;
    }
}

TEST_F(WindowLocaliserTest, ControlsOfOtherKindsKeepTheirTextAndAddNothing) {
    TfrmMatrizChild window(lang, kSection);
    auto* memo = new QTextEdit("memo text", &window);
    memo->setProperty("tag", 30);

    window.show();

    EXPECT_EQ(memo->toPlainText(), "memo text");
    EXPECT_FALSE(Stored(kSection, 30).has_value());
}

TEST_F(WindowLocaliserTest, AnOwnedWindowKeepsItsOwnSection) {
    SetText(kSection, 5, "Outer text");
    TfrmMatrizChild window(lang, kSection);
    TfrmMatrizSDI inner(lang, 9200, &window);
    QLabel* innerLabel = AddLabel(inner, 5, "Inner design");
    QLabel* outerLabel = AddLabel(window, 5, "Outer design");

    window.show();

    EXPECT_EQ(outerLabel->text(), "Outer text");
    EXPECT_EQ(innerLabel->text(), "Inner design");
}

TEST_F(WindowLocaliserTest, AMissingTitleShowsTheMarkerAndIsAddedToTheCatalogue) {
    TfrmMatrizChild window(lang, 9300);
    window.show();
    EXPECT_EQ(window.windowTitle(), "not found text");
    EXPECT_EQ(Stored(9300, 1), "not found text");
}

TEST_F(WindowLocaliserTest, TheWindowTagIsItsSection) {
    TfrmMatrizChild window(lang, kSection);
    EXPECT_EQ(window.Tag(), kSection);
    EXPECT_EQ(WindowLocaliser::TagOf(window), kSection);
    QLabel plain;
    EXPECT_EQ(WindowLocaliser::TagOf(plain), 0);
}

} // namespace
} // namespace harvexa::test
