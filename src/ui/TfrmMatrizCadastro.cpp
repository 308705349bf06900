#include "ui/TfrmMatrizCadastro.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace harvexa {

namespace {

QFrame* MakeSeparator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

TfrmMatrizCadastro::TfrmMatrizCadastro(CLLang& lang, int tag, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , TfrmPrincipal(*this, lang, tag) {
    setModal(true);

    auto* root = new QVBoxLayout(this);
    root->setSizeConstraint(QLayout::SetFixedSize);

    m_title = new QLabel(QStringLiteral("Editor"), this);
    m_title->setObjectName("lbTituloCadastro");
    m_title->setProperty("tag", 3);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    m_title->setFont(titleFont);
    root->addWidget(m_title);
    root->addWidget(MakeSeparator(this));

    m_content = new QWidget(this);
    m_content->setObjectName("pnContent");
    root->addWidget(m_content, 1);

    root->addWidget(MakeSeparator(this));
    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName("tbBotoes");
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_ok->setObjectName("btnOk");
    m_cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName("btnCancel");
    // Key 1 of every section is the window title: captioning OK by its Tag would put the title on
    // the button, so OK keeps the platform's own text.
    m_ok->setProperty("tag", 1);
    m_ok->setProperty("keepCaption", true);
    m_cancel->setProperty("tag", 2);
    root->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TfrmMatrizCadastro::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        WindowShowing();
        layout()->activate();
        CentreOnScreen();
    }
    QDialog::showEvent(event);
}

} // namespace harvexa
