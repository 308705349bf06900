#pragma once

class QWidget;

namespace harvexa {

class CLLang;

// What every Harvexa window shares, whatever its Qt base (QMainWindow, QDialog, QWidget):
// its Tag (the catalogue section, also stored as the window's "tag" property) and its
// localisation each time it is shown. The Qt base calls WindowShowing() from showEvent.
class TfrmPrincipal {
public:
    virtual ~TfrmPrincipal() = default;
    TfrmPrincipal(const TfrmPrincipal&) = delete;
    TfrmPrincipal& operator=(const TfrmPrincipal&) = delete;

    int Tag() const { return m_tag; }
    CLLang& Lang() const { return m_lang; }
    QWidget& Window() const { return m_window; }

    // Title := text Tag/1; every tagged control's caption from section Tag. Never throws.
    void LocaliseWindow();

protected:
    TfrmPrincipal(QWidget& window, CLLang& lang, int tag);

    // Localises the window, then runs FormShow().
    void WindowShowing();
    // For derived windows: texts set after localisation (column titles, hints, status lines).
    virtual void FormShow() {}

    // Moves the window to the centre of the available area of its screen.
    void CentreOnScreen();

private:
    QWidget& m_window;
    CLLang& m_lang;
    int m_tag;
};

} // namespace harvexa
