#pragma once

#include "core/ProgressView.h"
#include "core/UserMessages.h"

namespace harvexa {

// What a front end (desktop, headless program, test) lends the core for the life of the process.
struct FrontEnd {
    IMessagePresenter& presenter;
    IProgressView& progress;
    IProgressView2& progress2;
};

} // namespace harvexa
