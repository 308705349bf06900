#include "data/ExportLines.h"

#include <gtest/gtest.h>

namespace harvexa {
namespace {

EntData SampleRow() {
    EntData row;
    row.url = "http://a.example/";
    row.email = "x@a.example";
    row.title = "Acme";
    row.meta_tag_description = "Hotels";
    row.meta_tag_keywords = "hotel";
    row.fone = "21 000";
    row.fax = "21 001";
    return row;
}

EntExportData OnlyEmail() {
    EntExportData options;
    options.ExportEmail = true;
    return options;
}

TEST(ExportLinesTest, CsvLineQuotesSevenValuesInFixedOrder) {
    EXPECT_EQ(CsvLine(SampleRow(), EntExportData::All()),
              R"("http://a.example/";"x@a.example";"Acme";"Hotels";"hotel";"21 000";"21 001")");
}

TEST(ExportLinesTest, CsvLineWritesUnselectedColumnsEmpty) {
    EXPECT_EQ(CsvLine(SampleRow(), OnlyEmail()), R"("";"x@a.example";"";"";"";"";"")");
}

TEST(ExportLinesTest, CsvValuesLoseQuotesSeparatorsAndLineBreaks) {
    EntData row;
    row.url = "http://a.example/?q=\"x\";y";
    row.title = "Acme\r\nHotels\tLisbon";
    row.meta_tag_description = "line one\r\nline two\rthree\nfour\tfive \"quoted\"; end";
    row.fone = "a\r\nb";
    EXPECT_EQ(
        CsvLine(row, EntExportData::All()),
        R"("http://a.example/?q=xy";"";"Acme Hotels Lisbon";"line one line two three four five quoted end";"";"a b";"")");
}

TEST(ExportLinesTest, CsvValuesAreNotTrimmed) {
    EntData row;
    row.title = "  Acme  ";
    EXPECT_EQ(CsvLine(row, EntExportData::All()), R"("";"";"  Acme  ";"";"";"";"")");
}

struct TextCase {
    const char* name;
    EntData row;
    EntExportData options;
    std::string separatorName;
    bool written;
    std::string line;
};

std::vector<TextCase> TextCases() {
    EntData sparse;
    sparse.email = "x@a.example";
    sparse.meta_tag_description = "  Hotels ";
    EntData blankOnly;
    blankOnly.title = "   ";
    return {
        {"QuotedOnlyEmail", SampleRow(), OnlyEmail(), ";", true, R"("x@a.example";"")"},
        {"QuotedDropsEmptyValuesButTheLast", sparse, EntExportData::All(), ";", true,
         R"("x@a.example";"Hotels";"")"},
        {"TabKeepsInnerEmptyValues", sparse, EntExportData::All(), "TAB", true, "x@a.example\t\tHotels"},
        {"TabAllValues", SampleRow(), EntExportData::All(), "TAB", true,
         "http://a.example/\tx@a.example\tAcme\tHotels\thotel\t21 000\t21 001"},
        {"TabNothingSelectedWritesNoLine", SampleRow(), EntExportData(), "TAB", false, ""},
        {"TabBlankValueWritesNoLine", blankOnly, EntExportData::All(), "TAB", false, ""},
        {"LongSeparatorIsNotStripped", sparse, OnlyEmail(), "||", true, R"("x@a.example"||"")"},
    };
}

class TextLineTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextLineTest, LineMatches) {
    const TextCase& c = GetParam();
    std::string out = "prefix:";
    const bool written = AppendTextLine(out, ExportValuesOf(c.row), c.options,
                                        TextLineFormat::FromSeparatorName(c.separatorName));
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(out, "prefix:" + c.line);
}

INSTANTIATE_TEST_SUITE_P(Lines, TextLineTest, ::testing::ValuesIn(TextCases()),
                         [](const ::testing::TestParamInfo<TextCase>& info) { return info.param.name; });

TEST(ExportLinesTest, TabInTitleCannotSplitTextFields) {
    EntData row;
    row.url = "u";
    row.title = "A\tB";
    std::string out;
    ASSERT_TRUE(AppendTextLine(out, ExportValuesOf(row), EntExportData::All(),
                               TextLineFormat::FromSeparatorName("TAB")));
    EXPECT_EQ(out, "u\t\tA B");
}

} // namespace
} // namespace harvexa
