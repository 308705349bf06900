#include "core/tables/TableHandle.h"

#include "core/tables/DataPacket.h"
#include "core/tables/TableDefinitions.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>
#include <optional>

namespace harvexa {

namespace {

constexpr std::uint32_t kHole = std::numeric_limits<std::uint32_t>::max();

// A filter condition checked against the table's layout: the value is already of the field's kind.
struct ResolvedCondition {
    std::size_t field = 0;
    bool negate = false;
    CellValue value;
};

TableResult ResolveCondition(const TableDef& schema, const TableFilter::Condition& condition,
                             ResolvedCondition& out) {
    const auto field = schema.FieldIndex(condition.field);
    if (!field) {
        return TableResult::Failure(TableError::UnknownField, "The filter names the field '" +
                                                                  condition.field + "', which the table " +
                                                                  schema.Name() + " lacks");
    }
    out.field = *field;
    out.negate = condition.op == TableFilter::Op::NotEquals;
    const FieldDef& def = schema.Field(*field);
    const auto bad = [&](const std::string& shown) {
        return TableResult::Failure(TableError::BadValue, "The filter value '" + shown +
                                                              "' does not suit the field '" + def.name + "'");
    };
    if (const auto* number = std::get_if<std::int32_t>(&condition.value)) {
        switch (def.type) {
        case FieldType::Integer:
        case FieldType::SmallInt:
            out.value = *number;
            return TableResult::Ok();
        case FieldType::Boolean:
            out.value = *number != 0;
            return TableResult::Ok();
        case FieldType::Text:
        case FieldType::Memo:
            out.value = std::to_string(*number);
            return TableResult::Ok();
        case FieldType::DateTime:
            return bad(std::to_string(*number));
        }
    }
    const std::string& text = std::get<std::string>(condition.value);
    if (def.type == FieldType::Text || def.type == FieldType::Memo) {
        out.value = text;
        return TableResult::Ok();
    }
    const FieldType parseAs = def.type == FieldType::SmallInt ? FieldType::Integer : def.type;
    auto value = ParseStoredText(parseAs, text);
    if (!value)
        return bad(text);
    out.value = std::move(*value);
    return TableResult::Ok();
}

bool ConditionHolds(const ResolvedCondition& condition, const PackedRow& row) {
    const CellView cell = row.Cell(condition.field);
    bool equal = false;
    if (const auto* wanted = std::get_if<std::string>(&condition.value)) {
        const auto* text = std::get_if<std::string_view>(&cell);
        equal = (text ? *text : std::string_view()) == *wanted;
    } else {
        equal = !IsNullCell(cell) && CompareCells(cell, ViewOf(condition.value)) == 0;
    }
    return equal != condition.negate;
}

} // namespace

struct TableHandle::Impl {
    std::string path;
    const TableDef* definition = nullptr;
    bool memoryOnly = false;

    TableDef schema;
    std::vector<PackedRow> rows; // stored order; released entries are deleted rows
    std::size_t liveRows = 0;
    std::vector<std::uint32_t> view; // visible rows in the current order; kHole marks removed entries
    std::size_t holes = 0;
    std::size_t cursor = 0; // position in view

    State state = State::Closed;
    bool modified = false;

    TableFilter filter;
    std::vector<ResolvedCondition> conditions;
    RecordTest test;

    std::string indexName;
    std::optional<std::size_t> sortField;
    bool descending = false;

    std::vector<CellValue> buffer; // the row being appended or edited
    std::string pendingError;      // first failed assignment since Append/Edit
    std::size_t editedPosition = 0;

    PackedRow emptyRow; // a row of nulls for CurrentRow without a current row

    std::string Describe() const { return path.empty() ? schema.Name() : path; }

    TableResult NotOpen() const {
        return TableResult::Failure(TableError::WrongState, "The table " + Describe() + " is not open");
    }

    bool Passes(const PackedRow& row) const {
        for (const ResolvedCondition& condition : conditions) {
            if (!ConditionHolds(condition, row))
                return false;
        }
        return !test || test(RowView(schema, row));
    }

    bool Less(std::uint32_t a, std::uint32_t b) const {
        int order = CompareCells(rows[a].Cell(*sortField), rows[b].Cell(*sortField));
        if (descending)
            order = -order;
        return order != 0 ? order < 0 : a < b;
    }

    void BuildView() {
        view.clear();
        view.reserve(liveRows);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!rows[i].IsEmpty() && Passes(rows[i]))
                view.push_back(static_cast<std::uint32_t>(i));
        }
        if (sortField)
            std::sort(view.begin(), view.end(),
                      [this](std::uint32_t a, std::uint32_t b) { return Less(a, b); });
        holes = 0;
        cursor = 0;
    }

    void Normalize() {
        while (cursor < view.size() && view[cursor] == kHole)
            ++cursor;
    }

    // Drops removed entries, keeping the cursor and the edited row on the same rows.
    void Compact() {
        if (holes == 0)
            return;
        std::size_t newCursor = 0;
        std::size_t newEdited = 0;
        std::size_t out = 0;
        for (std::size_t pos = 0; pos < view.size(); ++pos) {
            if (pos == cursor)
                newCursor = out;
            if (pos == editedPosition)
                newEdited = out;
            if (view[pos] != kHole)
                view[out++] = view[pos];
        }
        if (cursor >= view.size())
            newCursor = out;
        if (editedPosition >= view.size())
            newEdited = out;
        view.resize(out);
        cursor = newCursor;
        editedPosition = newEdited;
        holes = 0;
    }

    std::uint32_t CurrentIndex() {
        Normalize();
        return cursor < view.size() ? view[cursor] : kHole;
    }

    // Whether the row at `position` still sits between its neighbours in the index order.
    bool InOrderAt(std::size_t position) const {
        const std::uint32_t row = view[position];
        for (std::size_t p = position; p-- > 0;) {
            if (view[p] != kHole) {
                if (!Less(view[p], row))
                    return false;
                break;
            }
        }
        for (std::size_t q = position + 1; q < view.size(); ++q) {
            if (view[q] != kHole)
                return Less(row, view[q]);
        }
        return true;
    }

    std::size_t InsertSorted(std::uint32_t row) {
        Compact();
        const auto at = std::lower_bound(view.begin(), view.end(), row,
                                         [this](std::uint32_t a, std::uint32_t b) { return Less(a, b); });
        const auto position = static_cast<std::size_t>(at - view.begin());
        view.insert(at, row);
        return position;
    }

    TableResult ResolveFilter(std::vector<ResolvedCondition>& out) const {
        out.clear();
        for (const TableFilter::Condition& condition : filter.Conditions()) {
            ResolvedCondition resolved;
            if (TableResult result = ResolveCondition(schema, condition, resolved); !result)
                return result;
            out.push_back(std::move(resolved));
        }
        return TableResult::Ok();
    }

    TableResult ResolveIndex(std::string_view name, std::optional<std::size_t>& field,
                             bool& isDescending) const {
        field.reset();
        isDescending = false;
        if (name.empty())
            return TableResult::Ok();
        const IndexDef* index = schema.FindIndex(name);
        if (!index) {
            return TableResult::Failure(TableError::UnknownIndex, "The table " + schema.Name() +
                                                                      " has no index '" + std::string(name) +
                                                                      "'");
        }
        field = schema.FieldIndex(index->field);
        if (!field) {
            return TableResult::Failure(TableError::UnknownField, "The index '" + index->name +
                                                                      "' names the field '" + index->field +
                                                                      "', which the table lacks");
        }
        isDescending = index->descending;
        return TableResult::Ok();
    }

    // Resolves filter and index for a table just loaded; on failure the handle is closed again.
    TableResult Activate(bool markModified) {
        TableResult result = ResolveFilter(conditions);
        if (result)
            result = ResolveIndex(indexName, sortField, descending);
        if (!result) {
            Reset();
            return result;
        }
        liveRows = rows.size();
        BuildView();
        state = State::Browse;
        modified = markModified;
        return TableResult::Ok();
    }

    void Reset() {
        std::vector<PackedRow>().swap(rows);
        std::vector<std::uint32_t>().swap(view);
        liveRows = holes = cursor = editedPosition = 0;
        buffer.clear();
        pendingError.clear();
        conditions.clear();
        sortField.reset();
        state = State::Closed;
        modified = false;
        schema = definition ? *definition : TableDef();
    }

    void CancelPending() {
        if (state == State::Edit)
            cursor = editedPosition;
        if (state == State::Edit || state == State::Insert)
            state = State::Browse;
        pendingError.clear();
    }

    std::vector<const PackedRow*> LiveRows(bool inIndexOrder) const {
        std::vector<std::uint32_t> order;
        order.reserve(liveRows);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!rows[i].IsEmpty())
                order.push_back(static_cast<std::uint32_t>(i));
        }
        if (inIndexOrder && sortField)
            std::sort(order.begin(), order.end(),
                      [this](std::uint32_t a, std::uint32_t b) { return Less(a, b); });
        std::vector<const PackedRow*> result;
        result.reserve(order.size());
        for (const std::uint32_t i : order)
            result.push_back(&rows[i]);
        return result;
    }

    TableResult WriteBoundFile() {
        const std::vector<const PackedRow*> stored = LiveRows(false);
        TableResult result = WriteDataPacketFile(path, schema, stored);
        if (result)
            modified = false;
        return result;
    }

    void RefilterKeepingNothing() {
        CancelPending();
        if (state != State::Closed)
            BuildView();
    }
};

TableHandle::TableHandle()
    : m_impl(std::make_unique<Impl>()) {}

TableHandle::~TableHandle() = default;

TableHandle::TableHandle(TableHandle&& other) noexcept
    : m_impl(std::exchange(other.m_impl, std::make_unique<Impl>())) {}

TableHandle& TableHandle::operator=(TableHandle&& other) noexcept {
    if (this != &other)
        m_impl = std::exchange(other.m_impl, std::make_unique<Impl>());
    return *this;
}

void TableHandle::BindFile(std::string path) {
    const TableDef* known = PersistentTableForFile(path);
    m_impl->path = std::move(path);
    m_impl->definition = known;
    m_impl->memoryOnly = false;
    if (m_impl->state == State::Closed)
        m_impl->schema = known ? *known : TableDef();
}

void TableHandle::BindFile(std::string path, const TableDef& definition) {
    m_impl->path = std::move(path);
    m_impl->definition = &definition;
    m_impl->memoryOnly = false;
    if (m_impl->state == State::Closed)
        m_impl->schema = definition;
}

void TableHandle::BindMemory(const TableDef& definition) {
    m_impl->path.clear();
    m_impl->definition = &definition;
    m_impl->memoryOnly = true;
    if (m_impl->state == State::Closed)
        m_impl->schema = definition;
}

const std::string& TableHandle::FilePath() const {
    return m_impl->path;
}
const TableDef* TableHandle::Definition() const {
    return m_impl->definition;
}
const TableDef& TableHandle::Schema() const {
    return m_impl->schema;
}

TableResult TableHandle::SetFilter(TableFilter filter) {
    Impl& impl = *m_impl;
    TableFilter previous = std::exchange(impl.filter, std::move(filter));
    if (impl.state == State::Closed)
        return TableResult::Ok();
    std::vector<ResolvedCondition> resolved;
    if (TableResult result = impl.ResolveFilter(resolved); !result) {
        impl.filter = std::move(previous);
        return result;
    }
    impl.conditions = std::move(resolved);
    impl.RefilterKeepingNothing();
    return TableResult::Ok();
}

void TableHandle::SetRecordTest(RecordTest test) {
    m_impl->test = std::move(test);
    m_impl->RefilterKeepingNothing();
}

void TableHandle::ClearFilters() {
    m_impl->filter = TableFilter();
    m_impl->conditions.clear();
    m_impl->test = nullptr;
    m_impl->RefilterKeepingNothing();
}

const TableFilter& TableHandle::Filter() const {
    return m_impl->filter;
}

TableResult TableHandle::SetIndexName(std::string_view name) {
    Impl& impl = *m_impl;
    if (impl.state == State::Closed) {
        impl.indexName = std::string(name);
        return TableResult::Ok();
    }
    std::optional<std::size_t> field;
    bool descending = false;
    if (TableResult result = impl.ResolveIndex(name, field, descending); !result)
        return result;
    impl.CancelPending();
    const std::uint32_t current = impl.CurrentIndex();
    impl.indexName = std::string(name);
    impl.sortField = field;
    impl.descending = descending;
    impl.BuildView();
    if (current != kHole) {
        const auto at = std::find(impl.view.begin(), impl.view.end(), current);
        impl.cursor = static_cast<std::size_t>(at - impl.view.begin());
    }
    return TableResult::Ok();
}

const std::string& TableHandle::IndexName() const {
    return m_impl->indexName;
}

TableResult TableHandle::Open() {
    Impl& impl = *m_impl;
    if (impl.state != State::Closed)
        return TableResult::Ok();
    if (impl.memoryOnly) {
        if (!impl.definition)
            return TableResult::Failure(TableError::NotBound, "The in-memory table has no definition");
        impl.schema = *impl.definition;
        impl.rows.clear();
        return impl.Activate(false);
    }
    if (impl.path.empty())
        return TableResult::Failure(TableError::NotBound, "The table handle is bound to no file");
    DataPacketContents contents;
    if (TableResult result = ReadDataPacketFile(impl.path, impl.definition, contents); !result)
        return result;
    impl.schema = std::move(contents.schema);
    impl.rows = std::move(contents.rows);
    return impl.Activate(false);
}

TableResult TableHandle::CreateEmpty() {
    Impl& impl = *m_impl;
    if (impl.state != State::Closed)
        return TableResult::Failure(TableError::WrongState,
                                    "The table " + impl.Describe() + " is already open");
    if (!impl.definition)
        return TableResult::Failure(TableError::NotBound,
                                    "The table " + impl.Describe() + " has no definition");
    impl.schema = *impl.definition;
    impl.rows.clear();
    return impl.Activate(!impl.memoryOnly && !impl.path.empty());
}

TableResult TableHandle::Close() {
    Impl& impl = *m_impl;
    if (impl.state == State::Closed)
        return TableResult::Ok();
    impl.CancelPending();
    TableResult result = TableResult::Ok();
    if (impl.modified && !impl.memoryOnly && !impl.path.empty())
        result = impl.WriteBoundFile();
    impl.Reset();
    return result;
}

TableResult TableHandle::Save() {
    Impl& impl = *m_impl;
    if (impl.state == State::Closed)
        return impl.NotOpen();
    if (impl.memoryOnly || impl.path.empty())
        return TableResult::Failure(TableError::NotBound, "The table " + impl.Describe() + " has no file");
    return impl.modified ? impl.WriteBoundFile() : TableResult::Ok();
}

TableResult TableHandle::SaveToFile(const std::string& path) const {
    const Impl& impl = *m_impl;
    if (impl.state == State::Closed)
        return impl.NotOpen();
    const std::vector<const PackedRow*> ordered = impl.LiveRows(true);
    return WriteDataPacketFile(path, impl.schema, ordered);
}

bool TableHandle::IsOpen() const {
    return m_impl->state != State::Closed;
}
TableHandle::State TableHandle::GetState() const {
    return m_impl->state;
}
bool TableHandle::IsModified() const {
    return m_impl->modified;
}

std::size_t TableHandle::RecordCount() const {
    return m_impl->view.size() - m_impl->holes;
}
std::size_t TableHandle::TotalRowCount() const {
    return m_impl->liveRows;
}

bool TableHandle::Eof() const {
    return m_impl->CurrentIndex() == kHole;
}

void TableHandle::First() {
    m_impl->CancelPending();
    m_impl->cursor = 0;
    m_impl->Normalize();
}

void TableHandle::Next() {
    Impl& impl = *m_impl;
    impl.CancelPending();
    impl.Normalize();
    if (impl.cursor < impl.view.size())
        ++impl.cursor;
    impl.Normalize();
}

void TableHandle::Prior() {
    Impl& impl = *m_impl;
    impl.CancelPending();
    for (std::size_t p = std::min(impl.cursor, impl.view.size()); p-- > 0;) {
        if (impl.view[p] != kHole) {
            impl.cursor = p;
            return;
        }
    }
    impl.cursor = 0;
    impl.Normalize();
}

void TableHandle::Last() {
    m_impl->CancelPending();
    m_impl->cursor = m_impl->view.size();
    Prior();
}

bool TableHandle::MoveTo(std::size_t position) {
    Impl& impl = *m_impl;
    impl.CancelPending();
    impl.Compact();
    if (position >= impl.view.size())
        return false;
    impl.cursor = position;
    return true;
}

std::size_t TableHandle::RecNo() const {
    m_impl->Compact();
    return m_impl->cursor;
}

RowView TableHandle::Row(std::size_t position) const {
    Impl& impl = *m_impl;
    impl.Compact();
    assert(position < impl.view.size());
    return RowView(impl.schema, impl.rows[impl.view[position]]);
}

RowView TableHandle::CurrentRow() const {
    Impl& impl = *m_impl;
    const std::uint32_t current = impl.CurrentIndex();
    return RowView(impl.schema, current == kHole ? impl.emptyRow : impl.rows[current]);
}

FieldRef TableHandle::Field(std::string_view name) {
    return FieldRef(*this, m_impl->schema.FieldIndex(name), std::string(name));
}

FieldRef TableHandle::Field(std::size_t index) {
    const bool known = index < m_impl->schema.FieldCount();
    return FieldRef(*this, known ? std::optional<std::size_t>(index) : std::nullopt,
                    known ? m_impl->schema.Field(index).name : "#" + std::to_string(index));
}

CellView TableHandle::CurrentCell(std::size_t field) const {
    Impl& impl = *m_impl;
    if (impl.state == State::Edit || impl.state == State::Insert)
        return field < impl.buffer.size() ? ViewOf(impl.buffer[field]) : CellView(std::monostate{});
    const std::uint32_t current = impl.CurrentIndex();
    return current == kHole ? CellView(std::monostate{}) : impl.rows[current].Cell(field);
}

bool TableHandle::Assign(std::size_t field, const CellView& value, bool reportOnPost) {
    Impl& impl = *m_impl;
    if (impl.state != State::Edit && impl.state != State::Insert)
        return false;
    if (field >= impl.buffer.size())
        return false;
    std::string why;
    std::optional<CellValue> converted = ConvertForField(impl.schema.Field(field), value, &why);
    if (!converted) {
        if (reportOnPost && impl.pendingError.empty())
            impl.pendingError = std::move(why);
        return false;
    }
    impl.buffer[field] = std::move(*converted);
    return true;
}

void TableHandle::NoteAssignFailure(std::string message) {
    Impl& impl = *m_impl;
    if ((impl.state == State::Edit || impl.state == State::Insert) && impl.pendingError.empty())
        impl.pendingError = std::move(message);
}

TableResult TableHandle::Append() {
    Impl& impl = *m_impl;
    if (impl.state == State::Closed)
        return impl.NotOpen();
    if (impl.state != State::Browse)
        return TableResult::Failure(TableError::WrongState, "A change to " + impl.Describe() + " is pending");
    impl.buffer.assign(impl.schema.FieldCount(), CellValue());
    impl.pendingError.clear();
    impl.state = State::Insert;
    return TableResult::Ok();
}

TableResult TableHandle::Edit() {
    Impl& impl = *m_impl;
    if (impl.state == State::Closed)
        return impl.NotOpen();
    if (impl.state == State::Edit)
        return TableResult::Ok();
    if (impl.state == State::Insert)
        return TableResult::Failure(TableError::WrongState,
                                    "A new row of " + impl.Describe() + " is pending");
    const std::uint32_t current = impl.CurrentIndex();
    if (current == kHole)
        return TableResult::Failure(TableError::WrongState,
                                    "The table " + impl.Describe() + " has no current row");
    impl.rows[current].Unpack(impl.buffer);
    impl.buffer.resize(impl.schema.FieldCount());
    impl.pendingError.clear();
    impl.editedPosition = impl.cursor;
    impl.state = State::Edit;
    return TableResult::Ok();
}

TableResult TableHandle::Post() {
    Impl& impl = *m_impl;
    if (impl.state == State::Closed)
        return impl.NotOpen();
    if (impl.state == State::Browse)
        return TableResult::Ok();
    if (!impl.pendingError.empty())
        return TableResult::Failure(TableError::BadValue, impl.pendingError);
    for (std::size_t i = 0; i < impl.schema.FieldCount(); ++i) {
        if (impl.schema.Field(i).required && std::holds_alternative<std::monostate>(impl.buffer[i])) {
            return TableResult::Failure(TableError::RequiredMissing,
                                        "Field '" + impl.schema.Field(i).name + "' must have a value");
        }
    }
    PackedRow packed = PackedRow::Pack(impl.buffer);
    impl.modified = true;
    if (impl.state == State::Insert) {
        impl.state = State::Browse;
        impl.rows.push_back(std::move(packed));
        ++impl.liveRows;
        const auto added = static_cast<std::uint32_t>(impl.rows.size() - 1);
        if (!impl.Passes(impl.rows[added])) {
            impl.cursor = impl.view.size();
        } else if (impl.sortField) {
            impl.cursor = impl.InsertSorted(added);
        } else {
            impl.view.push_back(added);
            impl.cursor = impl.view.size() - 1;
        }
        return TableResult::Ok();
    }
    impl.state = State::Browse;
    const std::size_t position = impl.editedPosition;
    const std::uint32_t edited = impl.view[position];
    impl.rows[edited] = std::move(packed);
    impl.cursor = position;
    if (!impl.Passes(impl.rows[edited])) {
        impl.view[position] = kHole;
        ++impl.holes;
        impl.Normalize();
    } else if (impl.sortField && !impl.InOrderAt(position)) {
        impl.view[position] = kHole;
        ++impl.holes;
        impl.cursor = impl.InsertSorted(edited);
    }
    return TableResult::Ok();
}

void TableHandle::Cancel() {
    m_impl->CancelPending();
}

TableResult TableHandle::Delete() {
    Impl& impl = *m_impl;
    if (impl.state == State::Closed)
        return impl.NotOpen();
    if (impl.state == State::Insert) {
        impl.CancelPending();
        return TableResult::Ok();
    }
    impl.CancelPending();
    const std::uint32_t current = impl.CurrentIndex();
    if (current == kHole)
        return TableResult::Failure(TableError::WrongState,
                                    "The table " + impl.Describe() + " has no current row");
    impl.rows[current].Release();
    --impl.liveRows;
    impl.view[impl.cursor] = kHole;
    ++impl.holes;
    impl.modified = true;
    impl.Normalize();
    return TableResult::Ok();
}

TableResult TableHandle::DeleteRows(std::vector<std::size_t> positions) {
    Impl& impl = *m_impl;
    if (impl.state == State::Closed)
        return impl.NotOpen();
    impl.CancelPending();
    impl.Compact();
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    if (positions.empty())
        return TableResult::Ok();
    if (positions.back() >= impl.view.size())
        return TableResult::Failure(TableError::WrongState, "Row " + std::to_string(positions.back()) +
                                                                " is not a visible row of " +
                                                                impl.Describe());
    for (const std::size_t position : positions) {
        impl.rows[impl.view[position]].Release();
        impl.view[position] = kHole;
    }
    impl.liveRows -= positions.size();
    impl.holes += positions.size();
    impl.modified = true;
    impl.cursor = positions.front();
    impl.Normalize();
    return TableResult::Ok();
}

TableResult TableHandle::EmptyTable() {
    Impl& impl = *m_impl;
    if (impl.state == State::Closed)
        return impl.NotOpen();
    impl.CancelPending();
    std::vector<PackedRow>().swap(impl.rows);
    impl.view.clear();
    impl.liveRows = impl.holes = impl.cursor = 0;
    impl.modified = true;
    return TableResult::Ok();
}

TableHandle::RowIterator TableHandle::begin() const {
    m_impl->Compact();
    return RowIterator(this, 0);
}

TableHandle::RowIterator TableHandle::end() const {
    return RowIterator(this, RecordCount());
}

} // namespace harvexa
