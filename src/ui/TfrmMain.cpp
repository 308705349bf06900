#include "ui/TfrmMain.h"

#include "core/CLLang.h"
#include "core/UserMessages.h"
#include "ui/ShowingErrors.h"
#include "ui/TfrmHelp.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <exception>

namespace harvexa {

namespace {

constexpr int kHintSection = 6000;
constexpr const char* kHelpTopic = "Presentation";

// Tool-button hints are shared captions: text 6000/key.
struct ToolHint {
    MainCommand command;
    int key;
};
constexpr std::array<ToolHint, 5> kToolHints{{
    {MainCommand::Researches, 183},
    {MainCommand::Wizard, 184},
    {MainCommand::SearchDirectories, 185},
    {MainCommand::CapturedData, 186},
    {MainCommand::SystemSettings, 187},
}};
constexpr int kExitHintKey = 188;

QIcon ThemeIcon(const QWidget& widget, const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name), widget.style()->standardIcon(fallback));
}

void SetTag(QObject& object, int tag) {
    object.setProperty("tag", tag);
}

} // namespace

TfrmMain::TfrmMain(CLLang& lang, UserMessages& messages, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint)
    , TfrmPrincipal(*this, lang, kSection)
    , m_messages(messages) {
    setObjectName("frmMain");
    setWindowTitle(QStringLiteral("Harvexa"));
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    for (Command& command : m_commands) {
        for (QAction* action : {command.menuAction, command.toolAction}) {
            if (action != nullptr)
                action->setEnabled(false);
        }
    }
    setMaximumSize(kMaxWidth, kMaxHeight);
}

void TfrmMain::BuildMenus() {
    m_researchMenu = menuBar()->addMenu(QStringLiteral("&Research"));
    m_researchMenu->setObjectName("mnResearch");
    SetTag(*m_researchMenu, 2);
    AddMenuCommand(*m_researchMenu, MainCommand::SearchDirectories, 30,
                   QStringLiteral("Search &directories"));
    AddMenuCommand(*m_researchMenu, MainCommand::NewResearch, 3, QStringLiteral("&New research"),
                   QKeySequence(Qt::Key_F2));
    AddMenuCommand(*m_researchMenu, MainCommand::Researches, 4, QStringLiteral("&Researches"),
                   QKeySequence(Qt::Key_F3));
    AddMenuCommand(*m_researchMenu, MainCommand::CapturedData, 5, QStringLiteral("&Captured data"),
                   QKeySequence(Qt::Key_F5));
    m_researchMenu->addSeparator();
    m_closeAction = m_researchMenu->addAction(QStringLiteral("&Close"));
    m_closeAction->setObjectName("miClose");
    SetTag(*m_closeAction, 6);
    m_closeAction->setShortcut(QKeySequence(Qt::Key_F4));
    m_closeAction->setIcon(ThemeIcon(*this, "application-exit", QStyle::SP_DialogCloseButton));
    connect(m_closeAction, &QAction::triggered, this, &QWidget::close);

    m_settingsMenu = menuBar()->addMenu(QStringLiteral("&Settings"));
    m_settingsMenu->setObjectName("mnSettings");
    SetTag(*m_settingsMenu, 7);
    AddMenuCommand(*m_settingsMenu, MainCommand::SearchEngines, 9, QStringLiteral("Search &engines"));
    AddMenuCommand(*m_settingsMenu, MainCommand::SystemSettings, 10, QStringLiteral("System &settings"));
    AddMenuCommand(*m_settingsMenu, MainCommand::SystemTexts, 11, QStringLiteral("System &texts"))
        ->setVisible(false);
    AddMenuCommand(*m_settingsMenu, MainCommand::ProcessingLog, 12, QStringLiteral("&Processing log"));

    m_aboutMenu = menuBar()->addMenu(QStringLiteral("&About"));
    m_aboutMenu->setObjectName("mnAbout");
    SetTag(*m_aboutMenu, 19);
    m_helpAction = m_aboutMenu->addAction(QStringLiteral("&Help"));
    m_helpAction->setObjectName("miHelp");
    SetTag(*m_helpAction, 28);
    m_helpAction->setShortcut(QKeySequence(Qt::Key_F1));
    m_helpAction->setIcon(ThemeIcon(*this, "help-contents", QStyle::SP_DialogHelpButton));
    connect(m_helpAction, &QAction::triggered, this, &TfrmMain::ShowHelp);
    AddMenuCommand(*m_aboutMenu, MainCommand::CheckForUpdates, 26, QStringLiteral("Check for &updates"));
    m_aboutMenu->addSeparator();
    AddMenuCommand(*m_aboutMenu, MainCommand::MakerContact, 22, QStringLiteral("&Contact"))
        ->setVisible(false);
    AddMenuCommand(*m_aboutMenu, MainCommand::MakerBugReport, 23, QStringLiteral("Report a &bug"))
        ->setVisible(false);
    AddMenuCommand(*m_aboutMenu, MainCommand::MakerRecommendation, 24, QStringLiteral("&Recommend Harvexa"))
        ->setVisible(false);
    AddMenuCommand(*m_aboutMenu, MainCommand::MakerWebSite, 25, QStringLiteral("Harvexa on the &web"));
    m_aboutMenu->addSeparator();
    m_aboutAction = m_aboutMenu->addAction(QStringLiteral("&About Harvexa"));
    m_aboutAction->setObjectName("miAbout");
    SetTag(*m_aboutAction, 20);
    m_aboutAction->setIcon(ThemeIcon(*this, "help-about", QStyle::SP_MessageBoxInformation));
    connect(m_aboutAction, &QAction::triggered, this, &TfrmMain::ShowAbout);
}

void TfrmMain::BuildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Commands"));
    m_toolBar->setObjectName("tbMain");
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    AddToolCommand(MainCommand::Wizard, 29, QStringLiteral("Wizard"),
                   ThemeIcon(*this, "tools-wizard", QStyle::SP_FileDialogNewFolder));
    AddToolCommand(MainCommand::Researches, 14, QStringLiteral("Researches"),
                   ThemeIcon(*this, "view-list-details", QStyle::SP_FileDialogDetailedView));
    AddToolCommand(MainCommand::SearchDirectories, 16, QStringLiteral("Directories"),
                   ThemeIcon(*this, "folder", QStyle::SP_DirIcon));
    AddToolCommand(MainCommand::CapturedData, 15, QStringLiteral("Data"),
                   ThemeIcon(*this, "x-office-spreadsheet", QStyle::SP_FileDialogContentsView));
    AddToolCommand(MainCommand::SystemSettings, 17, QStringLiteral("Settings"),
                   ThemeIcon(*this, "preferences-system", QStyle::SP_ComputerIcon));

    m_toolBar->addSeparator();
    m_exitToolAction = m_toolBar->addAction(
        ThemeIcon(*this, "application-exit", QStyle::SP_DialogCloseButton), QStringLiteral("Exit"));
    m_exitToolAction->setObjectName("tbExit");
    SetTag(*m_exitToolAction, 18);
    connect(m_exitToolAction, &QAction::triggered, this, &QWidget::close);

    // A click shows the about box; the arrow drops down the about menu.
    m_aboutToolAction = m_toolBar->addAction(ThemeIcon(*this, "help-about", QStyle::SP_MessageBoxInformation),
                                             QStringLiteral("About"));
    m_aboutToolAction->setObjectName("tbAbout");
    SetTag(*m_aboutToolAction, 27);
    connect(m_aboutToolAction, &QAction::triggered, this, &TfrmMain::ShowAbout);
    if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(m_aboutToolAction))) {
        button->setMenu(m_aboutMenu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

void TfrmMain::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    m_statusPanel = new QLabel(bar);
    m_statusPanel->setObjectName("sbPanelStatus");
    m_statusPanel->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 8);
    m_hintPanel = new QLabel(bar);
    m_hintPanel->setObjectName("sbPanelHint");
    bar->addWidget(m_statusPanel);
    bar->addWidget(m_hintPanel, 1);
}

QAction* TfrmMain::AddMenuCommand(QMenu& menu, MainCommand command, int tag, const QString& text,
                                  const QKeySequence& shortcut) {
    QAction* action = menu.addAction(text);
    SetTag(*action, tag);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    Entry(command).menuAction = action;
    return action;
}

QAction* TfrmMain::AddToolCommand(MainCommand command, int tag, const QString& text, const QIcon& icon) {
    QAction* action = m_toolBar->addAction(icon, text);
    SetTag(*action, tag);
    connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    Command& entry = Entry(command);
    entry.toolAction = action;
    if (entry.menuAction != nullptr)
        entry.menuAction->setIcon(icon);
    return action;
}

void TfrmMain::SetCommand(MainCommand command, std::function<void()> handler) {
    Command& entry = Entry(command);
    entry.handler = std::move(handler);
    const bool enabled = static_cast<bool>(entry.handler);
    for (QAction* action : {entry.menuAction, entry.toolAction}) {
        if (action != nullptr)
            action->setEnabled(enabled);
    }
}

bool TfrmMain::HasCommand(MainCommand command) const {
    return static_cast<bool>(Entry(command).handler);
}

QAction* TfrmMain::MenuAction(MainCommand command) const {
    return Entry(command).menuAction;
}

QAction* TfrmMain::ToolAction(MainCommand command) const {
    return Entry(command).toolAction;
}

void TfrmMain::SetStatusText(const QString& text) {
    m_statusPanel->setText(text);
}

QString TfrmMain::CurrentHint() const {
    return m_hintPanel->text();
}

void TfrmMain::RunCommand(MainCommand command) {
    // Copy: the handler may replace itself through SetCommand.
    const std::function<void()> handler = Entry(command).handler;
    if (!handler)
        return;
    // An error must not cross the event loop; the command's window reports it instead.
    RunShowingErrors(m_messages, handler);
}

void TfrmMain::ShowAbout() {
    m_messages.ShowInfo(Lang().ReadText(5000, 87));
}

void TfrmMain::ShowHelp() {
    ShowHelpTopic(kHelpTopic, this);
}

bool TfrmMain::event(QEvent* event) {
    // The second status panel shows the hint of whatever is under the mouse.
    if (event->type() == QEvent::StatusTip) {
        m_hintPanel->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmMain::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        WindowShowing();
    QMainWindow::showEvent(event);
}

void TfrmMain::FormShow() {
    ApplyToolHints();
    FitCommandBar();
    FitToScreenWidth();
    if (m_shownHook)
        m_shownHook();
}

void TfrmMain::ApplyToolHints() {
    const auto setHint = [this](QAction* action, int key) {
        if (action == nullptr)
            return;
        const QString hint = QString::fromStdString(Lang().ReadText(kHintSection, key));
        action->setToolTip(hint);
        action->setStatusTip(hint);
    };
    for (const ToolHint& hint : kToolHints)
        setHint(ToolAction(hint.command), hint.key);
    setHint(m_exitToolAction, kExitHintKey);
}

void TfrmMain::FitCommandBar() {
    // Large tool-bar icons when the bar fits the designed height with the desktop's fonts, smaller
    // ones otherwise. Where the localised captions need more room than the designed limits, the
    // limits grow to what the bar needs rather than cutting buttons or captions off.
    const QSize limit(kMaxWidth, kMaxHeight);
    QSize needed;
    for (const QStyle::PixelMetric metric : {QStyle::PM_LargeIconSize, QStyle::PM_ToolBarIconSize}) {
        const int side = style()->pixelMetric(metric, nullptr, this);
        m_toolBar->setIconSize(QSize(side, side));
        m_toolBar->layout()->invalidate();
        layout()->invalidate();
        needed = sizeHint();
        if (needed.height() <= limit.height())
            break;
    }
    setMaximumSize(limit.expandedTo(needed));
    resize(width(), needed.height());
}

void TfrmMain::FitToScreenWidth() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    resize(std::min(screen->availableGeometry().width() - 3, maximumWidth()), height());
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // A second request while the first is still asking (the question box is open) is refused.
    if (m_askingToClose) {
        event->ignore();
        return;
    }
    bool mayClose = true;
    if (m_closeHook) {
        m_askingToClose = true;
        // A hook that fails keeps the window open.
        if (!RunShowingErrors(m_messages, [&] { mayClose = m_closeHook(); }))
            mayClose = false;
        m_askingToClose = false;
    }
    if (!mayClose) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

} // namespace harvexa
