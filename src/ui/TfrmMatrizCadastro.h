#pragma once

#include "ui/TfrmPrincipal.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace harvexa {

// Base of the modal editors: centred, fixed size, a title panel (lbTituloCadastro, Tag 3) above
// the editor's own controls and OK (Tag 1) / Cancel (Tag 2) at the bottom, which accept or reject.
// Derived editors put their controls into Content().
class TfrmMatrizCadastro : public QDialog, public TfrmPrincipal {
    Q_OBJECT
public:
    static constexpr int kSection = 300;

    explicit TfrmMatrizCadastro(CLLang& lang, int tag = kSection, QWidget* parent = nullptr);

    QWidget* Content() const { return m_content; }
    QLabel* TitleLabel() const { return m_title; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_title = nullptr;
    QWidget* m_content = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace harvexa
