#include "ui/FormFieldChecks.h"

#include "core/FieldChecks.h"
#include "core/UserMessages.h"

#include <QLineEdit>
#include <QString>

namespace harvexa {

FormFieldChecks::FormFieldChecks(CLLang& lang, UserMessages& messages)
    : m_lang(lang)
    , m_messages(messages) {}

bool FormFieldChecks::CheckTextField(QWidget& control, const QString& value, bool allowEmpty,
                                     const std::string& label) {
    if (const auto refusal = harvexa::CheckTextField(m_lang, value.toStdString(), allowEmpty, label))
        return Refuse(control, *refusal);
    return true;
}

bool FormFieldChecks::CheckNumberField(QWidget& control, const QString& value, long long maximum,
                                       const std::string& label, long long minimum) {
    if (const auto refusal = harvexa::CheckNumberField(m_lang, value.toStdString(), maximum, label, minimum))
        return Refuse(control, *refusal);
    return true;
}

bool FormFieldChecks::CheckTextField(QLineEdit& edit, bool allowEmpty, const std::string& label) {
    return CheckTextField(edit, edit.text(), allowEmpty, label);
}

bool FormFieldChecks::CheckNumberField(QLineEdit& edit, long long maximum, const std::string& label,
                                       long long minimum) {
    return CheckNumberField(edit, edit.text(), maximum, label, minimum);
}

bool FormFieldChecks::Refuse(QWidget& control, const std::string& message) {
    control.setFocus(Qt::OtherFocusReason);
    m_messages.ShowError(message);
    return false;
}

} // namespace harvexa
