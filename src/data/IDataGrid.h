#pragma once

namespace harvexa {

// A view showing the workbench table. Loaders and writers suspend its updates while they change or
// walk many rows, and resume them afterwards; pending window events may be processed in between.
class IDataGrid {
public:
    virtual ~IDataGrid() = default;
    virtual void SuspendUpdates() = 0;
    virtual void ResumeUpdates() = 0;
};

// Suspends a grid (when there is one) for the life of the guard.
class GridUpdateGuard final {
public:
    explicit GridUpdateGuard(IDataGrid* grid)
        : m_grid(grid) {
        if (m_grid)
            m_grid->SuspendUpdates();
    }
    ~GridUpdateGuard() {
        if (m_grid)
            m_grid->ResumeUpdates();
    }
    GridUpdateGuard(const GridUpdateGuard&) = delete;
    GridUpdateGuard& operator=(const GridUpdateGuard&) = delete;

private:
    IDataGrid* m_grid;
};

} // namespace harvexa
