#include "ui/TfrmPrincipal.h"

#include "ui/WindowLocaliser.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace harvexa {

TfrmPrincipal::TfrmPrincipal(QWidget& window, CLLang& lang, int tag)
    : m_window(window)
    , m_lang(lang)
    , m_tag(tag) {
    m_window.setProperty("tag", tag);
}

void TfrmPrincipal::LocaliseWindow() {
    // A window must open even when the catalogue cannot be read.
    try {
        WindowLocaliser(m_lang).Localise(m_window, m_tag);
    } catch (...) {
    }
}

void TfrmPrincipal::WindowShowing() {
    LocaliseWindow();
    FormShow();
}

void TfrmPrincipal::CentreOnScreen() {
    QScreen* screen = m_window.screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect available = screen->availableGeometry();
    const QSize size = m_window.frameGeometry().size();
    m_window.move(available.x() + (available.width() - size.width()) / 2,
                  available.y() + (available.height() - size.height()) / 2);
}

} // namespace harvexa
