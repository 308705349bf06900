#pragma once

#include <functional>

namespace harvexa {

// True on the thread of the QCoreApplication (or when none exists: then every thread is it).
bool OnUiThread();

// Runs `fn` on the user-interface thread and returns once it has run: directly when already on
// that thread, otherwise queued to it while the caller waits. Calls from one thread keep their order.
void RunOnUiThread(const std::function<void()>& fn);

} // namespace harvexa
