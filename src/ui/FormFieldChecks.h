#pragma once

#include <string>

class QLineEdit;
class QString;
class QWidget;

namespace harvexa {

class CLLang;
class UserMessages;

// The input checks of the editor windows: a refused value puts the focus on its control, shows the
// refusal in the error box and returns false; an accepted value returns true and shows nothing.
class FormFieldChecks final {
public:
    FormFieldChecks(CLLang& lang, UserMessages& messages);

    [[nodiscard]] bool CheckTextField(QWidget& control, const QString& value, bool allowEmpty,
                                      const std::string& label);
    [[nodiscard]] bool CheckNumberField(QWidget& control, const QString& value, long long maximum,
                                        const std::string& label, long long minimum);

    // The same for an edit field, checking its text.
    [[nodiscard]] bool CheckTextField(QLineEdit& edit, bool allowEmpty, const std::string& label);
    [[nodiscard]] bool CheckNumberField(QLineEdit& edit, long long maximum, const std::string& label,
                                        long long minimum);

private:
    bool Refuse(QWidget& control, const std::string& message);

    CLLang& m_lang;
    UserMessages& m_messages;
};

} // namespace harvexa
