#include "core/tables/PackedRow.h"

#include <cstdint>
#include <cstring>

namespace harvexa {

namespace {

using Offset = std::uint32_t;

enum Tag : unsigned char { kNull = 0, kInteger = 1, kBool = 2, kDateTime = 3, kText = 4 };

std::size_t HeaderSize(std::size_t count) {
    return sizeof(Offset) + count * sizeof(Offset) + count;
}

std::size_t DataSize(const CellValue& value) {
    switch (value.index()) {
    case kInteger:
        return sizeof(std::int32_t);
    case kBool:
        return 1;
    case kDateTime:
        return sizeof(std::int64_t);
    case kText:
        return std::get<std::string>(value).size();
    default:
        return 0;
    }
}

template <class T> T ReadAt(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

} // namespace

PackedRow PackedRow::Pack(std::span<const CellValue> values) {
    const std::size_t count = values.size();
    std::size_t total = HeaderSize(count);
    for (const CellValue& value : values)
        total += DataSize(value);

    PackedRow row;
    row.m_block = std::make_unique_for_overwrite<unsigned char[]>(total);
    unsigned char* block = row.m_block.get();
    const auto countField = static_cast<Offset>(count);
    std::memcpy(block, &countField, sizeof countField);
    unsigned char* ends = block + sizeof(Offset);
    unsigned char* tags = ends + count * sizeof(Offset);
    unsigned char* data = tags + count;

    Offset end = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const CellValue& value = values[i];
        tags[i] = static_cast<unsigned char>(value.index());
        switch (value.index()) {
        case kInteger: {
            const std::int32_t v = std::get<std::int32_t>(value);
            std::memcpy(data + end, &v, sizeof v);
            break;
        }
        case kBool:
            data[end] = std::get<bool>(value) ? 1 : 0;
            break;
        case kDateTime: {
            const std::int64_t key = std::get<DateTime>(value).Key();
            std::memcpy(data + end, &key, sizeof key);
            break;
        }
        case kText: {
            const std::string& text = std::get<std::string>(value);
            if (!text.empty())
                std::memcpy(data + end, text.data(), text.size());
            break;
        }
        default:
            break;
        }
        end += static_cast<Offset>(DataSize(value));
        std::memcpy(ends + i * sizeof(Offset), &end, sizeof end);
    }
    return row;
}

std::size_t PackedRow::FieldCount() const {
    return m_block ? ReadAt<Offset>(m_block.get()) : 0;
}

CellView PackedRow::Cell(std::size_t field) const {
    const std::size_t count = FieldCount();
    if (field >= count)
        return std::monostate{};
    const unsigned char* ends = m_block.get() + sizeof(Offset);
    const unsigned char* tags = ends + count * sizeof(Offset);
    const unsigned char* data = tags + count;
    const Offset begin = field == 0 ? 0 : ReadAt<Offset>(ends + (field - 1) * sizeof(Offset));
    const Offset end = ReadAt<Offset>(ends + field * sizeof(Offset));
    const unsigned char* at = data + begin;
    switch (tags[field]) {
    case kInteger:
        return ReadAt<std::int32_t>(at);
    case kBool:
        return *at != 0;
    case kDateTime:
        return DateTime::FromKey(ReadAt<std::int64_t>(at));
    case kText:
        return std::string_view(reinterpret_cast<const char*>(at), end - begin);
    default:
        return std::monostate{};
    }
}

void PackedRow::Unpack(std::vector<CellValue>& values) const {
    const std::size_t count = FieldCount();
    values.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const CellView cell = Cell(i);
        if (const auto* text = std::get_if<std::string_view>(&cell))
            values[i] = std::string(*text);
        else if (const auto* number = std::get_if<std::int32_t>(&cell))
            values[i] = *number;
        else if (const auto* flag = std::get_if<bool>(&cell))
            values[i] = *flag;
        else if (const auto* date = std::get_if<DateTime>(&cell))
            values[i] = *date;
        else
            values[i] = std::monostate{};
    }
}

} // namespace harvexa
