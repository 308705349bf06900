#pragma once

class QObject;
class QString;
class QWidget;

namespace harvexa {

class CLLang;

// Sets a window's title and the captions of its tagged controls from the text catalogue.
// The window's section is its Tag; each control's key is its Tag (dynamic property "tag").
// A control whose property "keepCaption" is true keeps its caption whatever its Tag.
class WindowLocaliser final {
public:
    explicit WindowLocaliser(CLLang& lang);

    void Localise(QWidget& window, int section) const;

    // The Tag of a control or window: its "tag" property, 0 when absent.
    static int TagOf(const QObject& object);

private:
    void LocaliseChildren(QObject& parent, int section) const;
    void LocaliseControl(QObject& control, int section, int tag) const;
    QString Text(int section, int key, const QString& current) const;

    CLLang& m_lang;
};

} // namespace harvexa
