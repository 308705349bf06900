#pragma once

namespace harvexa {

// The restarter holds an exclusive lock on "torvelle.lock" in the application folder while it runs.
bool RestarterIsRunning();

// At a normal shutdown "research.txt" goes away so a running restarter does not start the program again.
void DisarmRestarter();

} // namespace harvexa
