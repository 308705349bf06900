#include "ui/WindowLocaliser.h"

#include "core/CLLang.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QVariant>

namespace harvexa {

namespace {

// Another top-level window owned by this one (an editor opened from it, a message box) has its own
// section; popups such as menus belong to the window that owns them.
bool IsSeparateWindow(const QObject& object) {
    const auto* widget = qobject_cast<const QWidget*>(&object);
    return widget != nullptr && widget->isWindow() && widget->windowType() != Qt::Popup;
}

QTabWidget* TabWidgetOfPage(QWidget& page) {
    QWidget* stack = page.parentWidget();
    if (stack == nullptr)
        return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
    return (tabs != nullptr && tabs->indexOf(&page) >= 0) ? tabs : nullptr;
}

} // namespace

WindowLocaliser::WindowLocaliser(CLLang& lang)
    : m_lang(lang) {}

int WindowLocaliser::TagOf(const QObject& object) {
    bool ok = false;
    const int tag = object.property("tag").toInt(&ok);
    return ok ? tag : 0;
}

void WindowLocaliser::Localise(QWidget& window, int section) const {
    window.setWindowTitle(QString::fromStdString(m_lang.ReadText(section, 1, {})));
    LocaliseChildren(window, section);
}

void WindowLocaliser::LocaliseChildren(QObject& parent, int section) const {
    // children() keeps creation order; copy it because setting a caption may create children.
    const QObjectList children = parent.children();
    for (QObject* child : children) {
        if (IsSeparateWindow(*child))
            continue;
        const int tag = TagOf(*child);
        if (tag != 0 && tag != section && !child->property("keepCaption").toBool())
            LocaliseControl(*child, section, tag);
        LocaliseChildren(*child, section);
    }
}

void WindowLocaliser::LocaliseControl(QObject& control, int section, int tag) const {
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        label->setText(Text(section, tag, label->text()));
    } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        button->setText(Text(section, tag, button->text()));
    } else if (auto* action = qobject_cast<QAction*>(&control)) {
        action->setText(Text(section, tag, action->text()));
    } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        edit->setText(Text(section, tag, edit->text()));
    } else if (auto* group = qobject_cast<QGroupBox*>(&control)) {
        group->setTitle(Text(section, tag, group->title()));
    } else if (auto* menu = qobject_cast<QMenu*>(&control)) {
        menu->setTitle(Text(section, tag, menu->title()));
    } else if (auto* page = qobject_cast<QWidget*>(&control)) {
        if (QTabWidget* tabs = TabWidgetOfPage(*page)) {
            const int index = tabs->indexOf(page);
            tabs->setTabText(index, Text(section, tag, tabs->tabText(index)));
        }
    }
}

QString WindowLocaliser::Text(int section, int key, const QString& current) const {
    return QString::fromStdString(m_lang.ReadText(section, key, current.toStdString()));
}

} // namespace harvexa
