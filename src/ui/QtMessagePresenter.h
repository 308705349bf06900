#pragma once

#include "core/UserMessages.h"

#include <QPointer>
#include <QWidget>

namespace harvexa {

// Message boxes of the desktop: QMessageBox over the active window (or the given owner).
class QtMessagePresenter final : public IMessagePresenter {
public:
    explicit QtMessagePresenter(QWidget* owner = nullptr);

    void ShowMessage(MessageKind kind, const std::string& caption, const std::string& text) override;
    bool AskQuestion(const std::string& caption, const std::string& text) override;

private:
    QWidget* Owner() const;

    QPointer<QWidget> m_owner;
};

} // namespace harvexa
