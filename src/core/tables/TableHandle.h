#pragma once

#include "core/tables/FieldRef.h"
#include "core/tables/RowView.h"
#include "core/tables/TableDef.h"
#include "core/tables/TableFilter.h"
#include "core/tables/TableResult.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa {

// One table in memory with a cursor, bound to a table file or to a definition only.
//
// A repository binds a new handle to a file, optionally sets a filter, opens it (the file is read),
// reads, appends, edits or deletes rows, and closes it: a changed table is written back as a whole,
// atomically; filters never limit what is written. Rows come in stored order unless an index is
// selected. An in-memory handle (the workbench table) has no file; Close discards its rows.
//
// Editing follows the usual dataset cycle: Append or Edit, assign fields through Field(...), Post
// (refused while a required field is null or an assignment failed) or Cancel. Moving the cursor,
// filtering or changing the index discards a change that was not posted. After Delete the row that
// followed becomes current. No call throws; fallible calls return a TableResult.
// A handle is used by one thread at a time; separate handles are independent.
class TableHandle final {
public:
    enum class State { Closed, Browse, Edit, Insert };
    // A row test applied together with the typed filter; it must not change the table.
    using RecordTest = std::function<bool(const RowView&)>;

    TableHandle();
    ~TableHandle();
    TableHandle(TableHandle&& other) noexcept;
    TableHandle& operator=(TableHandle&& other) noexcept;
    TableHandle(const TableHandle&) = delete;
    TableHandle& operator=(const TableHandle&) = delete;

    // Binding takes effect at the next Open; a bound handle that is open is closed first by the caller.
    // BindFile(path) uses the definition of the persistent table of that file name when there is one,
    // otherwise the layout stored in the file.
    void BindFile(std::string path);
    void BindFile(std::string path, const TableDef& definition);
    void BindMemory(const TableDef& definition);
    const std::string& FilePath() const;
    const TableDef* Definition() const;
    // The layout of the open table (the definition plus any further fields its file has); when closed,
    // the definition, or an empty layout.
    const TableDef& Schema() const;

    // Filtering: the typed filter and the record test both apply. SetFilter on a closed handle is
    // checked at Open.
    [[nodiscard]] TableResult SetFilter(TableFilter filter);
    void SetRecordTest(RecordTest test);
    void ClearFilters();
    const TableFilter& Filter() const;

    // Sort order by one of the table's indexes; "" is stored order. Checked at Open when closed.
    // While open, the current row stays current.
    [[nodiscard]] TableResult SetIndexName(std::string_view name);
    const std::string& IndexName() const;

    [[nodiscard]] TableResult Open();        // reads the file; an open handle stays as it is
    [[nodiscard]] TableResult CreateEmpty(); // opens an empty table of the definition; Close writes it
    [[nodiscard]] TableResult Close();       // cancels a pending change, writes when changed
    [[nodiscard]] TableResult Save();        // writes the bound file now when changed
    // Writes every row (filters ignored) in the current index order to another file, atomically.
    [[nodiscard]] TableResult SaveToFile(const std::string& path) const;
    bool IsOpen() const;
    State GetState() const;
    bool IsModified() const;

    // Cursor over the visible rows (those passing the filters), positions counted from 0.
    std::size_t RecordCount() const;
    std::size_t TotalRowCount() const; // every row, filters ignored
    bool Eof() const;                  // past the last visible row (also when there is none)
    void First();
    void Next();
    void Prior(); // stays on the first row when there is none before
    void Last();
    bool MoveTo(std::size_t position); // false when out of range (cursor unchanged)
    std::size_t RecNo() const;         // RecordCount() at the end
    // A visible row by position; position < RecordCount().
    RowView Row(std::size_t position) const;
    // The current stored row; with Eof or while closed, a row of nulls.
    RowView CurrentRow() const;

    // Field of the current row, or of the row being appended or edited.
    FieldRef Field(std::string_view name);
    FieldRef Field(std::size_t index);
    CellView CurrentCell(std::size_t field) const;

    [[nodiscard]] TableResult Append(); // starts a new row of nulls
    [[nodiscard]] TableResult Edit();   // starts changing the current row
    [[nodiscard]] TableResult Post();
    void Cancel();
    [[nodiscard]] TableResult Delete();                                       // the current row
    [[nodiscard]] TableResult DeleteRows(std::vector<std::size_t> positions); // visible positions
    [[nodiscard]] TableResult EmptyTable();                                   // every row

    class RowIterator final {
    public:
        RowIterator(const TableHandle* table, std::size_t position)
            : m_table(table)
            , m_position(position) {}
        RowView operator*() const { return m_table->Row(m_position); }
        RowIterator& operator++() {
            ++m_position;
            return *this;
        }
        bool operator==(const RowIterator& other) const { return m_position == other.m_position; }

    private:
        const TableHandle* m_table;
        std::size_t m_position;
    };
    // Range over the visible rows; do not delete or post while iterating.
    RowIterator begin() const;
    RowIterator end() const;

private:
    friend class FieldRef;
    bool Assign(std::size_t field, const CellView& value, bool reportOnPost);
    void NoteAssignFailure(std::string message);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace harvexa
