#pragma once

#include "core/UserMessages.h"

#include <ostream>

namespace harvexa {

// Message boxes of the headless program: printed to the error stream; questions take a fixed answer.
class ConsoleMessagePresenter final : public IMessagePresenter {
public:
    ConsoleMessagePresenter(std::ostream& err, bool answerYes) : m_err(err), m_answerYes(answerYes) {}

    void ShowMessage(MessageKind kind, const std::string& caption, const std::string& text) override;
    bool AskQuestion(const std::string& caption, const std::string& text) override;

private:
    std::ostream& m_err;
    bool m_answerYes;
};

} // namespace harvexa
