#include "ui/TfrmProgress.h"

#include "core/UserMessages.h"
#include "ui/ShowingErrors.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

namespace harvexa {

namespace {

constexpr const char* kZeroTime = "00:00:00";
constexpr int kGaugeMinimumWidth = 380;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int tag = 0) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    if (tag != 0)
        label->setProperty("tag", tag);
    return label;
}

QProgressBar* MakeGauge(QWidget* parent, const char* name) {
    auto* gauge = new QProgressBar(parent);
    gauge->setObjectName(name);
    gauge->setRange(0, 1);
    gauge->setValue(0);
    gauge->setMinimumWidth(kGaugeMinimumWidth);
    return gauge;
}

// A gauge keeps its value within 0..max; a maximum of 0 shows an empty gauge, not a busy bar.
void ShowGauge(QProgressBar& gauge, int value, int maximum) {
    gauge.setRange(0, std::max(maximum, 1));
    gauge.setValue(value);
}

int Clamp(int value, int maximum) {
    return std::clamp(value, 0, std::max(maximum, 0));
}

} // namespace

TfrmProgress::TfrmProgress(CLLang& lang, UserMessages& messages, QWidget* parent)
    : TfrmMatrizSDI(lang, kSection, parent)
    , m_messages(messages)
    , m_now([] { return ProgressClock::Clock::now(); }) {
    setObjectName("frmProgress");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Progress"));

    auto* root = new QVBoxLayout(this);
    root->setSizeConstraint(QLayout::SetFixedSize);
    m_lbTotal = MakeLabel(this, "lbTotal", {});
    m_gaugeTotal = MakeGauge(this, "gaugeTotal");
    m_lbParcial = MakeLabel(this, "lbParcial", {});
    m_gaugeParcial = MakeGauge(this, "gaugeParcial");
    root->addWidget(m_lbTotal);
    root->addWidget(m_gaugeTotal);
    root->addWidget(m_lbParcial);
    root->addWidget(m_gaugeParcial);

    auto* times = new QGridLayout;
    times->addWidget(MakeLabel(this, "lbTimeLeftCaption", QStringLiteral("Time left:"), 3), 0, 0);
    m_lbTimeLeft = MakeLabel(this, "lbTimeLeft", QString::fromLatin1(kZeroTime));
    times->addWidget(m_lbTimeLeft, 0, 1);
    times->addWidget(MakeLabel(this, "lbElapsedTimeCaption", QStringLiteral("Elapsed time:"), 4), 1, 0);
    m_lbElapsedTime = MakeLabel(this, "lbElapsedTime", QString::fromLatin1(kZeroTime));
    times->addWidget(m_lbElapsedTime, 1, 1);
    times->setColumnStretch(2, 1);
    root->addLayout(times);

    auto* bottom = new QHBoxLayout;
    m_animation = new QProgressBar(this);
    m_animation->setObjectName("aniProgress");
    m_animation->setTextVisible(false);
    m_animation->setMaximumWidth(120);
    QSizePolicy keepPlace = m_animation->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_animation->setSizePolicy(keepPlace);
    bottom->addWidget(m_animation);
    bottom->addStretch(1);
    m_btnParar = new QPushButton(QStringLiteral("&Stop"), this);
    m_btnParar->setObjectName("btnParar");
    m_btnParar->setProperty("tag", 2);
    m_btnParar->setAutoDefault(false);
    bottom->addWidget(m_btnParar);
    root->addLayout(bottom);
    SetAnimation(false);

    m_tmLeft = new QTimer(this);
    m_tmLeft->setObjectName("tmLeft");
    m_tmLeft->setInterval(kClockIntervalMs);
    connect(m_tmLeft, &QTimer::timeout, this, &TfrmProgress::TickRemainingTime);
    connect(m_btnParar, &QPushButton::clicked, this, &TfrmProgress::StopClicked);
}

void TfrmProgress::ProgressStart(int partialMax, int totalMax) {
    m_partialMax = std::max(partialMax, 0);
    m_totalMax = std::max(totalMax, 0);
    SetPartial(0);
    SetTotal(0);
    m_lbParcial->clear();
    m_lbTotal->clear();
    m_lbTimeLeft->setText(QString::fromLatin1(kZeroTime));
    // A new operation does not show the time of the previous one.
    m_lbElapsedTime->setText(QString::fromLatin1(kZeroTime));
    StartPartialClock();
    SetAnimation(true);
    m_tmLeft->start();
    show();
    raise();
}

void TfrmProgress::ProgressTotal(int value, const std::string& text) {
    SetTotal(value);
    m_lbTotal->setText(QString::fromStdString(text));
}

void TfrmProgress::ProgressPartial(int value, const std::string& text) {
    SetPartial(value);
    m_lbParcial->setText(QString::fromStdString(text));
}

void TfrmProgress::ProgressStepTotal(const std::string& text) {
    const QString caption = QString::fromStdString(text);
    if (!caption.isEmpty() && caption != m_lbTotal->text())
        m_lbTotal->setText(caption);
    SetTotal(m_totalValue + 1);
}

void TfrmProgress::ProgressStepPartial(const std::string& text) {
    const QString caption = QString::fromStdString(text);
    if (!caption.isEmpty() && caption != m_lbParcial->text())
        m_lbParcial->setText(caption);
    SetPartial(m_partialValue + 1);
}

void TfrmProgress::ProgressSetPartialMax(int n) {
    m_partialMax = std::max(n, 0);
    SetPartial(m_partialValue);
    m_lbParcial->clear();
    StartPartialClock();
}

void TfrmProgress::ProgressSetTotalMax(int n) {
    m_totalMax = std::max(n, 0);
    SetTotal(m_totalValue);
    m_lbTotal->clear();
}

void TfrmProgress::ProgressResetPartial() {
    SetPartial(0);
    m_lbParcial->clear();
    m_lbTimeLeft->setText(QString::fromLatin1(kZeroTime));
    SetAnimation(true);
}

void TfrmProgress::ProgressOnStop(StopCallback callback) {
    m_onStop = std::move(callback);
}

void TfrmProgress::ProgressEnableStop() {
    m_btnParar->setEnabled(true);
}

void TfrmProgress::ProgressClose() {
    SetAnimation(false);
    m_tmLeft->stop();
    SetPartial(0);
    SetTotal(0);
    m_lbParcial->clear();
    m_lbTotal->clear();
    close();
}

void TfrmProgress::SetTimeSource(TimeSource now) {
    if (now)
        m_now = std::move(now);
}

bool TfrmProgress::ClockRunning() const {
    return m_tmLeft->isActive();
}

void TfrmProgress::TickRemainingTime() {
    QCoreApplication::processEvents();
    const ProgressClock::Reading reading = m_clock.Tick(m_now(), m_partialValue, m_partialMax);
    m_lbTimeLeft->setText(QString::fromStdString(reading.remaining));
    if (reading.elapsed)
        m_lbElapsedTime->setText(QString::fromStdString(*reading.elapsed));
}

void TfrmProgress::SetPartial(int value) {
    m_partialValue = Clamp(value, m_partialMax);
    ShowGauge(*m_gaugeParcial, m_partialValue, m_partialMax);
}

void TfrmProgress::SetTotal(int value) {
    m_totalValue = Clamp(value, m_totalMax);
    ShowGauge(*m_gaugeTotal, m_totalValue, m_totalMax);
}

void TfrmProgress::SetAnimation(bool on) {
    m_animationOn = on;
    // A range of 0..0 makes the bar a busy indicator.
    m_animation->setRange(0, on ? 0 : 1);
    m_animation->setVisible(on);
}

void TfrmProgress::StartPartialClock() {
    m_clock.Start(m_now());
}

void TfrmProgress::StopClicked() {
    const StopCallback callback = m_onStop;
    if (!callback)
        return;
    RunShowingErrors(m_messages, callback);
}

} // namespace harvexa
