#pragma once

namespace harvexa {

struct EntResearch;

// Reads a research's pending-links file (less the links already processed) into its PendingLinks.
// The queue files belong to the run engine, which lends the research repository this reader.
class IPendingLinkLoader {
public:
    virtual ~IPendingLinkLoader() = default;
    virtual void LoadPendingLinks(EntResearch& research) = 0;
};

} // namespace harvexa
