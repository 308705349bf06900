#include "ConsoleMessagePresenter.h"

namespace harvexa {

void ConsoleMessagePresenter::ShowMessage(MessageKind kind, const std::string& caption, const std::string& text) {
    m_err << (kind == MessageKind::Error ? "error: " : "") << caption << ": " << text << '\n';
}

bool ConsoleMessagePresenter::AskQuestion(const std::string& caption, const std::string& text) {
    m_err << caption << ": " << text << (m_answerYes ? " [yes]" : " [no]") << '\n';
    return m_answerYes;
}

} // namespace harvexa
