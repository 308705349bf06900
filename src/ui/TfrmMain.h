#pragma once

#include "ui/TfrmPrincipal.h"

#include <QMainWindow>
#include <array>
#include <functional>

class QLabel;
class QMenu;
class QToolBar;

namespace harvexa {

class UserMessages;

// Commands of the main window that open other parts of the program. Each stays disabled until
// the application gives it a handler with SetCommand.
enum class MainCommand {
    SearchDirectories,
    NewResearch,
    Researches,
    CapturedData,
    SearchEngines,
    SystemSettings,
    SystemTexts,
    ProcessingLog,
    CheckForUpdates,
    MakerContact,
    MakerBugReport,
    MakerRecommendation,
    MakerWebSite,
    Wizard,
};
inline constexpr std::size_t kMainCommandCount = static_cast<std::size_t>(MainCommand::Wizard) + 1;

// The main window: a narrow command bar with the main menu, a tool bar and a two-panel status bar.
// Close, help and about are its own; every other command comes from the application.
class TfrmMain final : public QMainWindow, public TfrmPrincipal {
    Q_OBJECT
public:
    static constexpr int kSection = 100;
    // Size limits of the command bar; they grow only when the desktop's fonts need more room.
    static constexpr int kMaxWidth = 550;
    static constexpr int kMaxHeight = 120;

    TfrmMain(CLLang& lang, UserMessages& messages, QWidget* parent = nullptr);

    // Gives a command its handler and enables its menu entry and tool button; an empty handler
    // disables them again.
    void SetCommand(MainCommand command, std::function<void()> handler);
    bool HasCommand(MainCommand command) const;

    // Asked on every close request; false keeps the window open. Without a hook the window closes.
    void SetCloseHook(std::function<bool()> hook) { m_closeHook = std::move(hook); }
    // Run each time the window is shown, after localisation and the tool-button hints.
    void SetShownHook(std::function<void()> hook) { m_shownHook = std::move(hook); }

    // First status panel; the second one shows the current hint.
    void SetStatusText(const QString& text);
    QString CurrentHint() const;

    QAction* MenuAction(MainCommand command) const;
    QAction* ToolAction(MainCommand command) const; // nullptr for commands without a tool button
    QAction* CloseAction() const { return m_closeAction; }
    QAction* ExitToolAction() const { return m_exitToolAction; }
    QAction* HelpAction() const { return m_helpAction; }
    QAction* AboutAction() const { return m_aboutAction; }
    QAction* AboutToolAction() const { return m_aboutToolAction; }

signals:
    // The close request was granted: the program should end.
    void closed();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void FormShow() override;

private:
    struct Command {
        QAction* menuAction = nullptr;
        QAction* toolAction = nullptr;
        std::function<void()> handler;
    };

    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    QAction* AddMenuCommand(QMenu& menu, MainCommand command, int tag, const QString& text,
                            const QKeySequence& shortcut = {});
    QAction* AddToolCommand(MainCommand command, int tag, const QString& text, const QIcon& icon);
    void RunCommand(MainCommand command);
    void ShowAbout();
    void ShowHelp();
    void ApplyToolHints();
    void FitCommandBar();
    void FitToScreenWidth();
    Command& Entry(MainCommand command) { return m_commands[static_cast<std::size_t>(command)]; }
    const Command& Entry(MainCommand command) const { return m_commands[static_cast<std::size_t>(command)]; }

    UserMessages& m_messages;
    std::array<Command, kMainCommandCount> m_commands{};
    std::function<bool()> m_closeHook;
    std::function<void()> m_shownHook;
    bool m_askingToClose = false;

    QMenu* m_researchMenu = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QMenu* m_aboutMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    QAction* m_closeAction = nullptr;
    QAction* m_exitToolAction = nullptr;
    QAction* m_helpAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_aboutToolAction = nullptr;
    QLabel* m_statusPanel = nullptr;
    QLabel* m_hintPanel = nullptr;
};

} // namespace harvexa
