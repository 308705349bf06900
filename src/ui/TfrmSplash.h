#pragma once

#include <QWidget>
#include <string>

namespace harvexa {

// The start-up splash: the program's name and version in a frameless window centred on the screen.
class TfrmSplash final : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(const std::string& version, QWidget* parent = nullptr);

    // Shows the window and paints it at once (the start-up waits without an event loop).
    void ShowAndRefresh();
};

} // namespace harvexa
