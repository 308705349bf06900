#include "HarvexaApplication.h"

#include "core/AppPaths.h"
#include "core/CoreStartup.h"
#include "core/ProgressRelay.h"
#include "ui/QtMessagePresenter.h"
#include "ui/TfrmMain.h"
#include "ui/TfrmProgress.h"
#include "ui/TfrmProgressType2.h"
#include "ui/TfrmSplash.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kSplashWaitMs = 2000;

void WaitProcessingEvents(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace harvexa;
    HarvexaApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Harvexa"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HARVEXA_VERSION));

    std::vector<std::string> arguments;
    bool exitAfterStart = false;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (argument == QLatin1String("--exit-after-start"))
            exitAfterStart = true;
        else
            arguments.push_back(argument.toStdString());
    }

    QtMessagePresenter presenter;
    ProgressRelay progressRelay;
    CoreStartup startup({presenter, progressRelay, progressRelay});
    if (!startup.Start(arguments))
        return 1;
    CLFacade& facade = startup.Principal().Facade();
    app.SetMessages(&facade.messages);

    TfrmMain mainWindow(facade.lang, facade.messages);
    TfrmProgress progress(facade.lang, facade.messages, &mainWindow);
    TfrmProgressType2 progress2(facade.lang, facade.messages, &mainWindow);
    progressRelay.Attach(&progress, &progress2);

    // The splash and its wait belong to a start by the user, not to a restart that resumes a run.
    if (arguments.empty()) {
        TfrmSplash splash(HARVEXA_VERSION);
        splash.ShowAndRefresh();
        WaitProcessingEvents(kSplashWaitMs);
    }

    mainWindow.SetCloseHook([&startup] { return startup.Principal().RequestShutdown(); });
    // exit(), not quit(): quit() would ask every window to close, and the main window has already agreed.
    QObject::connect(&mainWindow, &TfrmMain::closed, &app, [] { QCoreApplication::exit(0); });
    mainWindow.show();
    if (exitAfterStart)
        QTimer::singleShot(0, &app, [] {
            std::printf("Harvexa started; application folder: %s\n", AppFolder().c_str());
            QCoreApplication::exit(0);
        });
    const int code = app.exec();
    progressRelay.Attach(nullptr, nullptr);
    app.SetMessages(nullptr);
    return code;
}
