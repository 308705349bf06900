#pragma once

#include "core/AtomicFile.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace harvexa::test {

// Table writes fail from the given write on (1 = the first) while an object lives: the temporary file
// vanishes before its rename.
class FailingTableWrites final {
public:
    explicit FailingTableWrites(int firstFailingWrite = 1) {
        s_writes = 0;
        s_firstFailing = firstFailingWrite;
        SetBeforeRenameHookForTesting(+[](const std::string& temporary) {
            if (++s_writes >= s_firstFailing)
                std::remove(temporary.c_str());
        });
    }
    ~FailingTableWrites() { SetBeforeRenameHookForTesting(nullptr); }
    FailingTableWrites(const FailingTableWrites&) = delete;
    FailingTableWrites& operator=(const FailingTableWrites&) = delete;

private:
    static inline std::atomic<int> s_writes{0};
    static inline int s_firstFailing = 1;
};

} // namespace harvexa::test
