#pragma once

#include "core/ProgressView.h"
#include "ui/TfrmMatrizSDI.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace harvexa {

class UserMessages;

// The second progress window: a caption, an operation name, a wrapped operation text, one bar,
// a busy animation and Stop. Closing it only hides it.
class TfrmProgressType2 final : public TfrmMatrizSDI, public IProgressView2 {
    Q_OBJECT
public:
    static constexpr int kSection = 2500;

    TfrmProgressType2(CLLang& lang, UserMessages& messages, QWidget* parent = nullptr);

    void Progress2Start(const std::string& caption, const std::string& name, int maximum, bool stop,
                        const std::string& text) override;
    void Progress2Text(const std::string& name, const std::string& text) override;
    void Progress2Step() override;
    void Progress2SetMax(int n) override;
    void Progress2OnStop(StopCallback callback) override;
    void Progress2Close() override;

    int Position() const { return m_position; }
    int Maximum() const { return m_maximum; }

private:
    void ShowBar();
    void StopClicked();

    UserMessages& m_messages;
    StopCallback m_onStop;
    int m_position = 0;
    int m_maximum = 0;

    QLabel* m_lbName = nullptr;
    QLabel* m_lbText = nullptr;
    QProgressBar* m_pbProgress = nullptr;
    QProgressBar* m_animation = nullptr;
    QPushButton* m_btnStop = nullptr;
};

} // namespace harvexa
