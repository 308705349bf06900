#include "ui/TfrmMatrizSDI.h"

#include <QLayout>
#include <QShowEvent>

namespace harvexa {

TfrmMatrizSDI::TfrmMatrizSDI(CLLang& lang, int tag, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
    , TfrmPrincipal(*this, lang, tag) {}

void TfrmMatrizSDI::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        WindowShowing();
        // The localised captions may change the size; settle it before centring.
        if (layout() != nullptr)
            layout()->activate();
        CentreOnScreen();
    }
    QDialog::showEvent(event);
}

} // namespace harvexa
