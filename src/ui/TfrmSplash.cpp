#include "ui/TfrmSplash.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace harvexa {

TfrmSplash::TfrmSplash(const std::string& version, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("frmSplash");
    setAttribute(Qt::WA_ShowWithoutActivating);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setBackgroundRole(QPalette::Base);
    frame->setAutoFillBackground(true);
    outer->addWidget(frame);

    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(32, 28, 32, 24);
    layout->setSpacing(8);
    auto* name = new QLabel(QStringLiteral("Harvexa"), frame);
    name->setObjectName("lbProgramName");
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 2.4);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    auto* purpose = new QLabel(QStringLiteral("Contact data harvesting from public web pages"), frame);
    purpose->setObjectName("lbPurpose");
    purpose->setAlignment(Qt::AlignCenter);
    layout->addWidget(purpose);

    auto* versionLabel = new QLabel(QStringLiteral("Version %1").arg(QString::fromStdString(version)), frame);
    versionLabel->setObjectName("lbVersion");
    versionLabel->setAlignment(Qt::AlignCenter);
    versionLabel->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(versionLabel);

    auto* loading = new QLabel(QStringLiteral("Starting…"), frame);
    loading->setObjectName("lbStarting");
    loading->setAlignment(Qt::AlignCenter);
    loading->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(loading);

    adjustSize();
}

void TfrmSplash::ShowAndRefresh() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - rect().center());
    }
    show();
    raise();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace harvexa
