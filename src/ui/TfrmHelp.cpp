#include "ui/TfrmHelp.h"

#include "core/AppPaths.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace harvexa {

namespace {

// Topic names are plain words; anything else could leave the help folder.
bool IsValidTopicName(const std::string& topic) {
    return !topic.empty() && std::all_of(topic.begin(), topic.end(), [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-';
    });
}

} // namespace

TfrmHelp::TfrmHelp(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(kObjectName);
    setWindowTitle(QStringLiteral("Harvexa Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName("tbHelp");
    m_browser->setOpenExternalLinks(true);
    m_browser->document()->setDocumentMargin(12);
    layout->addWidget(m_browser);
    resize(720, 560);
}

std::string TfrmHelp::TopicPath(const std::string& topic) {
    return AppFolder() + "help/" + topic + ".html";
}

bool TfrmHelp::ShowTopic(const std::string& topic) {
    m_topic = topic;
    const QString path = QString::fromStdString(TopicPath(topic));
    if (IsValidTopicName(topic) && QFileInfo(path).isFile()) {
        m_browser->setSearchPaths({QString::fromStdString(AppFolder() + "help")});
        m_browser->setSource(QUrl::fromLocalFile(path));
        return true;
    }
    m_browser->clearHistory();
    m_browser->setHtml(QStringLiteral("<h2>Help topic not found</h2>"
                                      "<p>The help topic <b>%1</b> is not installed.</p>"
                                      "<p>Expected file: <code>%2</code></p>")
                           .arg(QString::fromStdString(topic).toHtmlEscaped(), path.toHtmlEscaped()));
    return false;
}

TfrmHelp* ShowHelpTopic(const std::string& topic, QWidget* owner) {
    TfrmHelp* help = nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (auto* candidate = qobject_cast<TfrmHelp*>(window);
            candidate != nullptr && candidate->isVisible()) {
            help = candidate;
            break;
        }
    }
    if (help == nullptr) {
        help = new TfrmHelp(owner); // deleted when closed, or with its owner
        help->setAttribute(Qt::WA_DeleteOnClose);
    }
    help->ShowTopic(topic);
    if (help->isMinimized())
        help->showNormal();
    help->show();
    help->raise();
    help->activateWindow();
    return help;
}

} // namespace harvexa
