#include "core/tables/RowView.h"

namespace harvexa {

CellView RowView::Cell(std::string_view name) const {
    const auto field = m_schema->FieldIndex(name);
    return field ? m_row->Cell(*field) : CellView(std::monostate{});
}

std::string_view RowView::Text(std::size_t field) const {
    const CellView cell = Cell(field);
    const auto* text = std::get_if<std::string_view>(&cell);
    return text ? *text : std::string_view();
}

std::string_view RowView::Text(std::string_view name) const {
    const auto field = m_schema->FieldIndex(name);
    return field ? Text(*field) : std::string_view();
}

} // namespace harvexa
