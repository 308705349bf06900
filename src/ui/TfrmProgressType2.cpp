#include "ui/TfrmProgressType2.h"

#include "core/UserMessages.h"
#include "ui/ShowingErrors.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

namespace harvexa {

namespace {

constexpr int kTextWidth = 380;

void ReplaceWhenNew(QLabel& label, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (!value.isEmpty() && value != label.text())
        label.setText(value);
}

} // namespace

TfrmProgressType2::TfrmProgressType2(CLLang& lang, UserMessages& messages, QWidget* parent)
    : TfrmMatrizSDI(lang, kSection, parent)
    , m_messages(messages) {
    setObjectName("frmProgressType2");
    setWindowTitle(QStringLiteral("Progress"));

    auto* root = new QVBoxLayout(this);
    root->setSizeConstraint(QLayout::SetFixedSize);
    m_lbName = new QLabel(this);
    m_lbName->setObjectName("lbName");
    QFont bold = m_lbName->font();
    bold.setBold(true);
    m_lbName->setFont(bold);
    root->addWidget(m_lbName);

    m_lbText = new QLabel(this);
    m_lbText->setObjectName("lbText");
    m_lbText->setWordWrap(true);
    m_lbText->setFixedWidth(kTextWidth);
    m_lbText->setMinimumHeight(m_lbText->fontMetrics().lineSpacing() * 2);
    m_lbText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    root->addWidget(m_lbText);

    m_pbProgress = new QProgressBar(this);
    m_pbProgress->setObjectName("pbProgress");
    root->addWidget(m_pbProgress);

    auto* bottom = new QHBoxLayout;
    m_animation = new QProgressBar(this);
    m_animation->setObjectName("aniProgress");
    m_animation->setTextVisible(false);
    m_animation->setRange(0, 0);
    m_animation->setMaximumWidth(120);
    bottom->addWidget(m_animation);
    bottom->addStretch(1);
    m_btnStop = new QPushButton(QStringLiteral("&Stop"), this);
    m_btnStop->setObjectName("btnStop");
    m_btnStop->setProperty("tag", 2);
    m_btnStop->setAutoDefault(false);
    bottom->addWidget(m_btnStop);
    root->addLayout(bottom);

    ShowBar();
    connect(m_btnStop, &QPushButton::clicked, this, &TfrmProgressType2::StopClicked);
}

void TfrmProgressType2::Progress2Start(const std::string& caption, const std::string& name, int maximum,
                                       bool stop, const std::string& text) {
    m_lbName->setText(QString::fromStdString(name));
    m_lbText->setText(QString::fromStdString(text));
    m_btnStop->setEnabled(stop);
    m_maximum = std::max(maximum, 0);
    m_position = 0;
    ShowBar();
    show();
    raise();
    // After show(): showing localises the window, which would replace the caller's caption.
    setWindowTitle(QString::fromStdString(caption));
}

void TfrmProgressType2::Progress2Text(const std::string& name, const std::string& text) {
    ReplaceWhenNew(*m_lbName, name);
    ReplaceWhenNew(*m_lbText, text);
}

void TfrmProgressType2::Progress2Step() {
    m_position = std::min(m_position + 1, m_maximum);
    ShowBar();
}

void TfrmProgressType2::Progress2SetMax(int n) {
    m_maximum = std::max(n, 0);
    m_position = 0;
    ShowBar();
}

void TfrmProgressType2::Progress2OnStop(StopCallback callback) {
    m_onStop = std::move(callback);
}

void TfrmProgressType2::Progress2Close() {
    close();
}

void TfrmProgressType2::ShowBar() {
    // A maximum of 0 shows an empty bar rather than Qt's busy bar.
    m_pbProgress->setRange(0, std::max(m_maximum, 1));
    m_pbProgress->setValue(m_position);
}

void TfrmProgressType2::StopClicked() {
    const StopCallback callback = m_onStop;
    if (!callback)
        return;
    RunShowingErrors(m_messages, callback);
}

} // namespace harvexa
