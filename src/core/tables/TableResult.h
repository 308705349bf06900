#pragma once

#include <string>
#include <utility>

namespace harvexa {

enum class TableError {
    None,
    NotBound,        // no file and no definition given
    FileMissing,     // the bound file does not exist
    ReadFailed,      // the file exists but cannot be read
    NotXml,          // the file is not well-formed XML
    NotDataPacket,   // XML, but not a table data packet
    BadValue,        // a stored or assigned value does not suit its field
    UnknownField,    // a filter, index or assignment names a field the table lacks
    UnknownIndex,    // no index of that name
    RequiredMissing, // a required field is null when the row is posted
    WrongState,      // not open, no current row, or a change is pending
    WriteFailed,     // the file could not be written
};

// Outcome of a table operation; converts to true on success.
class [[nodiscard]] TableResult final {
public:
    static TableResult Ok() { return TableResult(TableError::None, {}); }
    static TableResult Failure(TableError error, std::string message) {
        return TableResult(error, std::move(message));
    }

    bool IsOk() const { return m_error == TableError::None; }
    explicit operator bool() const { return IsOk(); }
    TableError Error() const { return m_error; }
    // A sentence naming the table file or field concerned; empty on success.
    const std::string& Message() const { return m_message; }

private:
    TableResult(TableError error, std::string message)
        : m_error(error)
        , m_message(std::move(message)) {}

    TableError m_error;
    std::string m_message;
};

} // namespace harvexa
