#include "ui/TfrmMatrizChild.h"

#include <QShowEvent>

namespace harvexa {

TfrmMatrizChild::TfrmMatrizChild(CLLang& lang, int tag, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , TfrmPrincipal(*this, lang, tag) {
    setAttribute(Qt::WA_DeleteOnClose);
}

void TfrmMatrizChild::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        WindowShowing();
    QWidget::showEvent(event);
}

} // namespace harvexa
