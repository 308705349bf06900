#include "ui/OpenWindows.h"

#include "core/AppPaths.h"
#include "ui/TfrmMatrizCadastro.h"
#include "ui/TfrmMatrizChild.h"
#include "ui/TfrmMatrizSDI.h"

#include <QApplication>
#include <QWidget>

namespace harvexa {

namespace {

bool IsFrameworkWindow(QWidget* widget) {
    return qobject_cast<TfrmMatrizChild*>(widget) != nullptr ||
           qobject_cast<TfrmMatrizCadastro*>(widget) != nullptr ||
           qobject_cast<TfrmMatrizSDI*>(widget) != nullptr;
}

// A window that was closed (hidden after being shown) is not open, even while its deletion is
// pending; one created hidden and not shown yet still counts.
bool IsClosed(const QWidget* widget) {
    return widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide);
}

} // namespace

QWidget* FindOpenWindow(const std::string& name) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (!IsFrameworkWindow(window) || IsClosed(window))
            continue;
        if (EqualsIgnoreCase(window->objectName().toStdString(), name))
            return window;
    }
    return nullptr;
}

bool ActivateOpenWindow(const std::string& name) {
    QWidget* window = FindOpenWindow(name);
    if (window == nullptr)
        return false;
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
    return true;
}

} // namespace harvexa
