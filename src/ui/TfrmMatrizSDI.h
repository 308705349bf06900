#pragma once

#include "ui/TfrmPrincipal.h"

#include <QDialog>

namespace harvexa {

// Base of the other single windows (progress, settings, processing...): centred on the screen
// each time it is shown, a title bar with a close button only. Shown modally with exec() or
// non-modally with show(); closing hides it unless the derived window asks for more.
class TfrmMatrizSDI : public QDialog, public TfrmPrincipal {
    Q_OBJECT
public:
    TfrmMatrizSDI(CLLang& lang, int tag, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace harvexa
