#include "data/ExportLines.h"

#include "analysis/FlattenText.h"
#include "core/tables/RowView.h"

#include <algorithm>

namespace harvexa {

namespace {

// Bytes that make a value need cleaning: the quote, the CSV separator, line breaks and tabs.
struct SpecialBytes {
    std::array<bool, 256> table{};
    constexpr SpecialBytes() {
        for (const unsigned char c : {'"', ';', '\r', '\n', '\t'})
            table[c] = true;
    }
};
constexpr SpecialBytes kSpecial;

bool NeedsCleaning(std::string_view value) {
    return std::any_of(value.begin(), value.end(),
                       [](char c) { return kSpecial.table[static_cast<unsigned char>(c)]; });
}

constexpr std::string_view kCsvSeparator = ";";

// Removes every occurrence of `pattern`, left to right, without rescanning.
void RemoveAll(std::string& text, std::string_view pattern) {
    if (pattern.empty())
        return;
    std::size_t out = 0;
    std::size_t in = 0;
    while (in < text.size()) {
        if (text.compare(in, pattern.size(), pattern) == 0) {
            in += pattern.size();
            continue;
        }
        text[out++] = text[in++];
    }
    text.resize(out);
}

} // namespace

ExportValues ExportValuesOf(const EntData& row) {
    return {row.url,  row.email, row.title, row.meta_tag_description, row.meta_tag_keywords,
            row.fone, row.fax};
}

ExportValues ExportValuesOf(const RowView& row) {
    ExportValues values;
    for (std::size_t i = 0; i < kExportColumnCount; ++i)
        values[i] = row.Text(i);
    return values;
}

bool IsColumnSelected(const EntExportData& options, ExportColumn column) {
    switch (column) {
    case ExportColumn::Url:
        return options.ExportUrl;
    case ExportColumn::Email:
        return options.ExportEmail;
    case ExportColumn::Title:
        return options.ExportTitle;
    case ExportColumn::Description:
        return options.ExportDescription;
    case ExportColumn::Keywords:
        return options.ExportKeywords;
    case ExportColumn::Fone:
        return options.ExportFone;
    case ExportColumn::Fax:
        return options.ExportFax;
    }
    return false;
}

void AppendCleanExportValue(std::string& out, std::string_view value) {
    if (!NeedsCleaning(value)) {
        out += value;
        return;
    }
    for (const char c : FlattenText(value)) {
        if (c != ';')
            out.push_back(c);
    }
}

std::string CleanExportValue(std::string_view value, bool selected) {
    std::string out;
    if (selected)
        AppendCleanExportValue(out, value);
    return out;
}

void AppendCsvLine(std::string& out, const ExportValues& values, const EntExportData& options) {
    for (std::size_t i = 0; i < kExportColumnCount; ++i) {
        if (i > 0)
            out += kCsvSeparator;
        out += '"';
        if (IsColumnSelected(options, static_cast<ExportColumn>(i)))
            AppendCleanExportValue(out, values[i]);
        out += '"';
    }
}

std::string CsvLine(const EntData& row, const EntExportData& options) {
    std::string line;
    AppendCsvLine(line, ExportValuesOf(row), options);
    return line;
}

TextLineFormat TextLineFormat::FromSeparatorName(const std::string& name) {
    if (name == "TAB")
        return {"\t", ""};
    return {name, "\""};
}

std::string_view TrimControlAndBlanks(std::string_view text) {
    const auto blank = [](char c) {
        return static_cast<unsigned char>(c) <= ' ';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool AppendTextLine(std::string& out, const ExportValues& values, const EntExportData& options,
                    const TextLineFormat& format) {
    std::string line;
    std::string value;
    for (std::size_t i = 0; i < kExportColumnCount; ++i) {
        if (i > 0)
            line += format.separator;
        value.clear();
        if (IsColumnSelected(options, static_cast<ExportColumn>(i)))
            AppendCleanExportValue(value, values[i]);
        line += format.quote;
        line += TrimControlAndBlanks(value);
        line += format.quote;
    }
    // Empty quoted values disappear together with the separator that follows them.
    if (!format.quote.empty())
        RemoveAll(line, format.quote + format.quote + format.separator);
    if (format.separator.size() == 1) {
        const char separator = format.separator.front();
        std::string_view trimmed = line;
        while (!trimmed.empty() && (trimmed.front() == separator || trimmed.back() == separator)) {
            if (trimmed.front() == separator)
                trimmed.remove_prefix(1);
            if (!trimmed.empty() && trimmed.back() == separator)
                trimmed.remove_suffix(1);
        }
        if (trimmed.empty())
            return false;
        out += trimmed;
        return true;
    }
    if (line.empty())
        return false;
    out += line;
    return true;
}

} // namespace harvexa
