#pragma once

#include <QApplication>

namespace harvexa {

class UserMessages;

// The desktop's application object: an error thrown out of an event handler ends in the
// exception filter instead of terminating the program.
class HarvexaApplication final : public QApplication {
public:
    HarvexaApplication(int& argc, char** argv);

    void SetMessages(UserMessages* messages) { m_messages = messages; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    UserMessages* m_messages = nullptr;
};

} // namespace harvexa
