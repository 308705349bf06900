#include "ui/QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace harvexa {

QtMessagePresenter::QtMessagePresenter(QWidget* owner)
    : m_owner(owner) {}

QWidget* QtMessagePresenter::Owner() const {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return m_owner.data();
}

void QtMessagePresenter::ShowMessage(MessageKind kind, const std::string& caption, const std::string& text) {
    const QMessageBox::Icon icon =
        kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information;
    QMessageBox box(icon, QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    Owner());
    box.exec();
}

bool QtMessagePresenter::AskQuestion(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, Owner());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace harvexa
