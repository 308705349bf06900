#pragma once

#include <string>

class QWidget;

namespace harvexa {

// The open list, editor or single window (TfrmMatrizChild, TfrmMatrizCadastro, TfrmMatrizSDI)
// whose object name equals `name` ignoring ASCII case; nullptr when there is none.
// A window that was closed (hidden after being shown) is not open, even while it waits for deletion.
QWidget* FindOpenWindow(const std::string& name);

// Brings that window to the front and returns true; false when no such window is open.
bool ActivateOpenWindow(const std::string& name);

} // namespace harvexa
