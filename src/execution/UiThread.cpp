#include "execution/UiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace harvexa {

bool OnUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

void RunOnUiThread(const std::function<void()>& fn) {
    if (OnUiThread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&fn] { fn(); }, Qt::BlockingQueuedConnection);
}

} // namespace harvexa
