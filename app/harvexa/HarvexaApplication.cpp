#include "HarvexaApplication.h"

#include "core/ExceptionFilter.h"

#include <exception>

namespace harvexa {

HarvexaApplication::HarvexaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool HarvexaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (m_messages)
            FilterException(error.what(), *m_messages);
        else
            AppendToErrorLog(error.what());
    } catch (...) {
        if (m_messages)
            FilterException("Unknown failure", *m_messages);
        else
            AppendToErrorLog("Unknown failure");
    }
    return false;
}

} // namespace harvexa
