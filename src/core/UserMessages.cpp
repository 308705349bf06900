#include "core/UserMessages.h"

#include "core/CLLang.h"

namespace harvexa {

UserMessages::UserMessages(CLLang& lang, IMessagePresenter& presenter) : m_lang(lang), m_presenter(presenter) {}

void UserMessages::ShowInfo(const std::string& message) {
    m_presenter.ShowMessage(MessageKind::Information, m_lang.ReadText(6000, 11, "Information"), message);
}

void UserMessages::ShowError(const std::string& message) {
    m_presenter.ShowMessage(MessageKind::Error, m_lang.ReadText(6000, 10, "Error"), message);
}

bool UserMessages::AskYesNo(const std::string& message) {
    return m_presenter.AskQuestion(m_lang.ReadText(6000, 9, "Confirm"), message);
}

} // namespace harvexa
