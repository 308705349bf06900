#include "core/tables/RepGenerator.h"

#include "core/tables/TableHandle.h"

#include <limits>

namespace harvexa {

namespace {

constexpr const char* kIndexField = "index";

} // namespace

std::optional<int> RepGenerator::NextId() {
    // Always start from the file as it is now.
    if (m_table.IsOpen())
        (void)m_table.Close();
    if (!m_table.Open())
        return std::nullopt;

    m_table.First();
    int result = 0;
    TableResult started = TableResult::Ok();
    if (m_table.Eof()) {
        started = m_table.Append();
    } else {
        result = m_table.Field(kIndexField).AsInteger();
        started = m_table.Edit();
    }
    const bool usable = started && m_table.Field(kIndexField).Exists() && result >= 0 &&
                        result < std::numeric_limits<int>::max();
    if (!usable || !m_table.Field(kIndexField).SetInteger(result + 1) || !m_table.Post()) {
        m_table.Cancel();
        (void)m_table.Close();
        return std::nullopt;
    }
    if (!m_table.Close())
        return std::nullopt;
    return result;
}

} // namespace harvexa
