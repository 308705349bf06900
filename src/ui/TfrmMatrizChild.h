#pragma once

#include "ui/TfrmPrincipal.h"

#include <QWidget>

namespace harvexa {

// Base of the non-modal list windows: a top-level window released when it is closed.
class TfrmMatrizChild : public QWidget, public TfrmPrincipal {
    Q_OBJECT
public:
    TfrmMatrizChild(CLLang& lang, int tag, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace harvexa
