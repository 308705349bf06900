#pragma once

#include <QWidget>
#include <string>

class QTextBrowser;

namespace harvexa {

// The help window: shows the HTML topics of the application folder's "help" folder.
class TfrmHelp final : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "frmHelp";

    explicit TfrmHelp(QWidget* parent = nullptr);

    // Shows AppFolder() + "help/" + topic + ".html"; a missing topic shows a message instead.
    // Returns false when the topic could not be shown.
    bool ShowTopic(const std::string& topic);

    const std::string& CurrentTopic() const { return m_topic; }
    QTextBrowser* Browser() const { return m_browser; }

    static std::string TopicPath(const std::string& topic);

private:
    QTextBrowser* m_browser = nullptr;
    std::string m_topic;
};

// Opens the help window on `topic`, reusing the open help window; returns that window.
// A new window belongs to `owner` (destroyed with it) and is deleted when closed.
TfrmHelp* ShowHelpTopic(const std::string& topic, QWidget* owner = nullptr);

} // namespace harvexa
