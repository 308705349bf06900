#pragma once

#include <string>

namespace harvexa {

class CLLang;

enum class MessageKind { Information, Error };

// What the front end (desktop, console, test double) does with a message box.
class IMessagePresenter {
public:
    virtual ~IMessagePresenter() = default;
    virtual void ShowMessage(MessageKind kind, const std::string& caption, const std::string& text) = 0;
    virtual bool AskQuestion(const std::string& caption, const std::string& text) = 0;
};

// The three standard message boxes, captions from the catalogue (6000/11, 6000/10, 6000/9).
class UserMessages final {
public:
    UserMessages(CLLang& lang, IMessagePresenter& presenter);

    void ShowInfo(const std::string& message);
    void ShowError(const std::string& message);
    bool AskYesNo(const std::string& message);

    IMessagePresenter& Presenter() { return m_presenter; }

private:
    CLLang& m_lang;
    IMessagePresenter& m_presenter;
};

} // namespace harvexa
