// CSV, TSV and the clipboard's tab-separated text: the grammar both ways, encodings, the
// characters CP932 lacks, and the round trip through a table.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "interchange/delimited_export.h"
#include "interchange/delimited_import.h"
#include "interchange/delimited_text.h"
#include "platform/failure.h"
#include "table/main_table_shape.h"
#include "table/table_file_reader.h"
#include "table/table_file_writer.h"
#include "temp_folder.h"

namespace qv {
namespace {

using Records = std::vector<std::vector<std::string>>;

constexpr const char* kHinmeiSjis = "\x95\x69\x96\xBC";  // 品名
constexpr const char* kHinmeiUtf8 = "\xE5\x93\x81\xE5\x90\x8D";
constexpr const char* kKanaSjis = "\xB6\xC5";  // ｶﾅ
constexpr const char* kGeta = "\x81\xAC";      // 〓

TEST(DelimitedText, ReadsRecordsAsSpreadsheetsWriteThem) {
    struct Case {
        const char* text;
        char delimiter;
        Records records;
    };
    const Case cases[] = {
        {"a,b\r\nc,d\r\n", ',', {{"a", "b"}, {"c", "d"}}},
        {"a,b\r\nc,d", ',', {{"a", "b"}, {"c", "d"}}},  // last line without line end
        {"a,b\nc,d\n", ',', {{"a", "b"}, {"c", "d"}}},
        {"a,b\rc,d\r", ',', {{"a", "b"}, {"c", "d"}}},
        {"a\r\n\r\n\r\nb\r\n", ',', {{"a"}, {""}, {""}, {"b"}}},  // blank lines
        {"\r\n", ',', {{""}}},
        {"", ',', {}},
        {"a,,\r\n,\r\n", ',', {{"a", "", ""}, {"", "", ""}}},  // empty trailing fields, padded
        {" a ,\tb\t\r\n", ',', {{" a ", "\tb\t"}}},            // blanks and tabs are data
        {"\"x,y\",\"q\"\"q\",\"\"\r\n", ',', {{"x,y", "q\"q", ""}}},
        {"\"l1\r\nl2\",\"l3\nl4\",\"l5\rl6\"\r\n", ',', {{"l1\nl2", "l3\nl4", "l5\nl6"}}},
        {"a\"b,c\r\n", ',', {{"a\"b", "c"}}},  // a quote inside an unquoted field is data
        {"a\032b,c", ',', {{"ab", "c"}}},      // 0x1A never enters a cell
        {"a\tb,c\t\"t\tt\"\r\n", '\t', {{"a", "b,c", "t\tt"}}},
        {"a;b\r\n", ';', {{"a", "b"}}},
        {"\"unclosed\r\nrest", ',', {{"unclosed\nrest"}}},
        // A closing quote followed by data is data, and the field stays quoted.
        {"\"a\"b\"c,d\",e\r\n", ',', {{"a\"b\"c,d", "e"}}},
        {"\"x\"\r\"\"\"\"\r\n\"\"", ',', {{"x"}, {"\""}, {""}}},
        {"\"a\r\x1A\nb\"\r\n", ',', {{"a\n\nb"}}},
        {"long unquoted field,\x81\x40 \x1A\r\n", ',', {{"long unquoted field", "\x81\x40 "}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        EXPECT_EQ(ParseDelimitedRecords(c.text, c.delimiter), c.records);
    }
    EXPECT_EQ(ParseDelimitedRecords("a\r\nb\r\nc\r\n", ',', 2), (Records{{"a"}, {"b"}}));
    EXPECT_THROW(ParseDelimitedRecords("a", '"'), std::invalid_argument);
}

TEST(DelimitedText, QuotesOnlyFieldsThatNeedIt) {
    const std::tuple<char, std::string, std::string> cases[] = {
        {',', "plain", "plain"},    {',', "", ""},
        {',', " a\tb ", " a\tb "},  {',', "a,b", "\"a,b\""},
        {',', "q\"", "\"q\"\"\""},  {',', "l\nl", "\"l\nl\""},
        {',', "c\rr", "\"c\rr\""},  {',', "a;b", "a;b"},
        {'\t', "a\tb", "\"a\tb\""}, {'\t', "a,b", "a,b"}};
    for (const auto& [delimiter, field, written] : cases) {
        std::string out = "before|";  // appended to
        AppendDelimitedField(out, field, delimiter);
        EXPECT_EQ(out, "before|" + written);
    }
}

TEST(DelimitedText, DetectsTheDelimiter) {
    const std::pair<const char*, char> cases[] = {
        {"a,b,c\r\n1,2,3\r\n", ','},
        {"a\tb\r\n1\t2\r\n", '\t'},
        {"a;b\r\n1;2,5\r\n", ';'},
        {"\"x,y\"\tb\r\n\"1,2\"\t3\r\n", '\t'},
        {"one column\r\nonly\r\n", ','},
        // A wrong delimiter that cuts quoted cells into more, shorter records loses.
        {"n\tk,z\r\nx\t\"A,1\nB,2\nC,3\"\r\n", '\t'},
        {"\"a;b\"\r\n\"c;d\"\r\n", ','},  // one column: its delimiters are quoted
        {"a,b\r\nc,d\r\ne", ','},         // a cut sample's last record does not count
    };
    for (const auto& [sample, delimiter] : cases) {
        EXPECT_EQ(DetectDelimiter(sample, ',', SampleEnd::Cut), delimiter) << sample;
    }
    EXPECT_EQ(DetectDelimiter("a\tb,c\r\n", '\t'), '\t');  // a tie goes to the preferred one
}

TEST(TextEncodingTest, TellsUtf8FromShiftJis) {
    const std::pair<std::string, TextEncoding> cases[] = {
        {std::string(kUtf8Bom) + "a,b", TextEncoding::Utf8WithBom},
        {std::string(kHinmeiUtf8) + ",1\r\n", TextEncoding::Utf8},
        {"plain,ascii\r\n", TextEncoding::Utf8},
        {std::string(kHinmeiSjis) + ",1\r\n", TextEncoding::Cp932},
        {std::string(kKanaSjis) + "\r\n", TextEncoding::Cp932},  // half-width katakana
        // A UTF-8 character cut by the end of the first megabyte is no sign of Shift-JIS.
        {std::string((1 << 20) - 1, 'a') + kHinmeiUtf8, TextEncoding::Utf8},
        {std::string(1 << 20, 'a') + kHinmeiSjis, TextEncoding::Cp932},  // the whole file counts
        {"\xC3\xBD,\xCE\xB1", TextEncoding::Cp932},  // ﾃｽ,ﾎｱ: half-width katakana, not ý,α
        {"x,\xF0\x9F\x98\x80\r\n", TextEncoding::Utf8},  // 😀, which CP932 lacks, is no sign
        // No overlong form, surrogate or value past U+10FFFF is UTF-8.
        {"\xC0\x80\xED\xA0\x80", TextEncoding::Cp932},
        {"\xF4\x90\x80\x80", TextEncoding::Cp932},
    };
    for (const auto& [bytes, encoding] : cases) {
        EXPECT_EQ(DetectTextEncoding(bytes), encoding) << bytes.substr(0, 20);
    }
}

Records CellsOf(const TableGrid& grid) {
    Records rows;
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        rows.emplace_back();
        for (int32_t col = 1; col < grid.ColCount(); ++col) {
            rows.back().push_back(grid.CellText(col, row));
        }
    }
    return rows;
}

// A table of the main shape whose data cells, from row 0 on, are `cells`.
TableGrid& Filled(TableGrid& grid, const Records& cells) {
    grid.SetColCount(static_cast<int32_t>(cells[0].size()) + 1);
    grid.SetRowCount(static_cast<int32_t>(cells.size()));
    for (std::size_t row = 0; row < cells.size(); ++row) {
        for (std::size_t col = 0; col < cells[row].size(); ++col) {
            grid.SetCell(static_cast<int32_t>(col + 1), static_cast<int32_t>(row), cells[row][col]);
        }
    }
    return grid;
}

std::string Written(const TableGrid& grid, const CellRange& range, char delimiter,
                    TextEncoding encoding, DelimitedWriteReport* report = nullptr,
                    FieldQuoting quoting = FieldQuoting::WhereNeeded) {
    std::string out;
    DelimitedWriteReport ignored;
    (report != nullptr ? *report : ignored) = WriteDelimitedCells(
        grid, range, delimiter, encoding, [&](std::string_view piece) { out += piece; }, {},
        quoting);
    return out;
}

TableGrid& Imported(TableGrid& grid, std::string bytes, FirstRecord first = FirstRecord::Data,
                    std::optional<TextEncoding> encoding = {}) {
    DelimitedImportOptions options;
    options.firstRecord = first;
    options.encoding = encoding;
    std::string title;
    ApplyTableFile(ImportDelimitedText(std::move(bytes), options).content, grid, title);
    return grid;
}

TEST(DelimitedImportTest, BuildsATableAndListsWhatCp932Lacks) {
    // 😀 (row 2, field 3) and ñ (row 3, field 1) have no CP932 code; the BOM goes.
    const std::string csv =
        std::string(kUtf8Bom) + kHinmeiUtf8 + ",b\r\nx,y,\xF0\x9F\x98\x80\r\n\xC3\xB1\r\n";
    const DelimitedImport imported = ImportDelimitedText(csv, DelimitedImportOptions());
    EXPECT_EQ(imported.encoding, TextEncoding::Utf8WithBom);
    EXPECT_EQ(imported.delimiter, ',');
    EXPECT_EQ(imported.records, 3);
    ASSERT_EQ(imported.unencodable.size(), 2u);
    EXPECT_EQ(UnencodableMessage(imported.unencodable, imported.unencodableCount),
              "Shift-JIS で表せない文字が 2 個あります: 2 行 3 列「😀」、3 行 1 列「ñ」");
    DelimitedImportOptions names;
    names.firstRecord = FirstRecord::ItemNames;  // rows as the grid numbers them
    EXPECT_EQ(UnencodableMessage(ImportDelimitedText("\xC3\xB1\r\nx,y,\xF0\x9F\x98\x80", names)),
              "Shift-JIS で表せない文字が 2 個あります: 項目名 1 列「ñ」、1 行 3 列「😀」");

    TableGrid grid(kMainTableShape);
    Imported(grid, csv, FirstRecord::ItemNames);
    EXPECT_EQ(CellsOf(grid), (Records{{kHinmeiSjis, "b", ""}, {"x", "y", kGeta}, {kGeta, "", ""}}));
    // Without item names the first record is data; a one-record file still has a data row.
    Imported(grid, "only");
    EXPECT_EQ(CellsOf(grid), (Records{{""}, {"only"}}));
    Imported(grid, "");
    EXPECT_EQ(CellsOf(grid), (Records{{""}, {""}}));
    // Shift-JIS bytes are kept as they are; a DOS end-of-file byte closes the file.
    Imported(grid, std::string(kHinmeiSjis) + "\t" + kKanaSjis + "\r\n\x1A");
    EXPECT_EQ(CellsOf(grid), (Records{{"", ""}, {kHinmeiSjis, kKanaSjis}}));
    // A record wider than those above widens the table; the rows above get empty cells.
    Imported(grid, "a\r\nb,c,d\r\ne\r\n", FirstRecord::ItemNames);
    EXPECT_EQ(CellsOf(grid), (Records{{"a", "", ""}, {"b", "c", "d"}, {"e", "", ""}}));
    // A 0x1A goes after the conversion: it never joins the bytes around it into a character.
    Imported(grid, "\xE3\x81\x1A\x81\x82", FirstRecord::Data, TextEncoding::Utf8);
    EXPECT_EQ(grid.CellText(1, 1), std::string(kGeta) + kGeta + kGeta + kGeta);
    // The delimiter is found past a long first cell.
    EXPECT_EQ(CellsOf(Imported(grid, "\"" + std::string(70'000, ',') + "\"\tb\r\nc\td"))[2][1],
              "d");
    // A forced encoding is taken as it is.
    Imported(grid, kHinmeiUtf8, FirstRecord::Data, TextEncoding::Cp932);
    EXPECT_EQ(grid.CellText(1, 1), kHinmeiUtf8);
    // UTF-16 with a BOM, either way round, is read; without one it is refused, as is a UTF-8
    // BOM before bytes that are not UTF-8.
    for (const std::string& utf16 : {std::string("\xFF\xFE\xC1\x54\x0D\x54,\0x\0", 10),
                                     std::string("\xFE\xFF\x54\xC1\x54\x0D\0,\0x", 10)}) {
        EXPECT_EQ(CellsOf(Imported(grid, utf16)), (Records{{"", ""}, {kHinmeiSjis, "x"}}));
    }
    EXPECT_THROW(Imported(grid, std::string("a\0,\0b\0", 6)), Failure);
    EXPECT_THROW(Imported(grid, std::string(kUtf8Bom) + "a\r\nb,\x95\x69"), Failure);
}

// Every row of a ragged file is as wide as the widest, but only the texts present are stored.
TEST(DelimitedImportTest, RaggedRecordsStoreOnlyTheirTexts) {
    std::string csv;
    for (int i = 0; i < 2000; ++i) {
        csv += "x\r\n";
    }
    TableGrid grid(kMainTableShape);
    Imported(grid, csv + std::string(200, ','));
    EXPECT_EQ(std::pair(grid.ColCount(), grid.RowCount()), std::pair(202, 2002));
    std::size_t texts = 0;
    for (int32_t col = 1; col < grid.ColCount(); ++col) {
        grid.VisitColumnTexts(col, 0, grid.RowCount(), [&](int32_t, CellHandle) { ++texts; });
    }
    EXPECT_EQ(texts, 2000u + 201u);
    EXPECT_EQ(grid.CellText(1, 2000) + grid.CellText(2, 2000) + grid.CellText(201, 3), "x");
}

// A long text is parsed in two parts at once, cut after a line end near its middle; the cells,
// the rows of the characters CP932 lacks and the counts are those of one reading, also when
// the cut falls inside a quoted field, when records are ragged, and when the first part holds
// too few records to tell the widths.
TEST(DelimitedImportTest, LongTextsReadInTwoPartsGiveTheCellsOfOne) {
    struct Case {
        const char* what;
        int records;
        std::function<std::vector<std::string>(int)> fields;  // a record's, in UTF-8
        FirstRecord first;
    };
    const int kLong = 400'000;
    const std::string span = "\"" + std::string(4'000'000, 'q') + "\nline,\"\"x\"\"\n\"";
    const std::string smile = "\xF0\x9F\x98\x80";  // CP932 lacks it
    const Case cases[] = {
        {"one width", kLong,
         [&](int r) {
             return std::vector<std::string>{"r" + std::to_string(r), r % 7 == 0 ? "" : "b",
                                             r == 5 || r == kLong - 5 ? smile : "c"};
         },
         FirstRecord::Data},
        {"ragged", kLong,
         [](int r) {
             return std::vector<std::string>(static_cast<std::size_t>(r % 3 + 1), "field");
         },
         FirstRecord::ItemNames},
        {"a quoted field across the middle", 60'000,
         [&](int r) {
             return std::vector<std::string>{"r" + std::to_string(r), r == 30'000 ? span : "z"};
         },
         FirstRecord::ItemNames},
        {"few records", 500,
         [](int r) {
             // The second column's widest texts lie in the second half.
             return std::vector<std::string>{std::string(10'000, 'a'),
                                             std::string(r < 400 ? 1 : 30, 'b')};
         },
         FirstRecord::ItemNames},
    };
    for (const Case& c : cases) {
        std::string csv;
        Records expected;
        if (c.first == FirstRecord::Data) {
            expected.emplace_back();
        }
        for (int r = 0; r < c.records; ++r) {
            std::vector<std::string> fields = c.fields(r);
            for (std::size_t k = 0; k < fields.size(); ++k) {
                csv += (k > 0 ? "," : "") + fields[k];
            }
            csv += "\r\n";
            for (std::string& field : fields) {
                if (field.starts_with('"')) {
                    field = field.substr(1, field.size() - 2);
                    field.erase(field.find("\"\"x"), 1).erase(field.find("x\"\"") + 1, 1);
                }
                if (field == smile) {
                    field = kGeta;
                }
            }
            expected.push_back(std::move(fields));
        }
        ASSERT_GT(csv.size(), std::size_t{4} << 20) << c.what;
        const std::size_t widest =
            std::max_element(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
                return a.size() < b.size();
            })->size();
        for (auto& row : expected) {
            row.resize(widest);
        }
        DelimitedImportOptions options;
        options.firstRecord = c.first;
        DelimitedImport imported = ImportDelimitedText(csv, options);
        EXPECT_EQ(imported.records, c.records) << c.what;
        if (c.first == FirstRecord::Data) {
            ASSERT_EQ(imported.unencodable.size(), 2u);
            EXPECT_EQ(imported.unencodable[0].record, 5);
            EXPECT_EQ(imported.unencodable[1].record, kLong - 5);
        }
        TableGrid grid(kMainTableShape);
        std::string title;
        ApplyTableFile(std::move(imported.content), grid, title);
        EXPECT_TRUE(CellsOf(grid) == expected) << c.what;  // no diff of megabytes
        // Widths follow the first thousand records.
        std::size_t longest = 0;
        for (std::size_t row = 0; row < std::min<std::size_t>(expected.size(), 1000); ++row) {
            longest = std::max(longest, expected[row][1].size());
        }
        EXPECT_EQ(grid.ColWidth(2), std::clamp(7 * static_cast<int>(longest) + 8, 40, 320))
            << c.what;
    }
}

// Export and import with item names give the same cells in every format and encoding, both
// detected, whatever valid Shift-JIS cells without CR or 0x1A hold: the reported tables first,
// then random ones. The NEC and IBM twins of CP932 codes come back as they are in CP932 (UTF-8
// has one character for both twins: they are the pool's last three).
TEST(DelimitedRoundTrip, EveryTableComesBackInEveryFormatAndEncoding) {
    const std::vector<std::string> pool = {"",          "a",
                                           ",",         ";",
                                           "\t",        "\"",
                                           "\n",        " x ",
                                           "a;b",       "1\t2",
                                           "\"q\"",     "A,1\nB,2\nC,3",
                                           kHinmeiSjis, "\x8B\xE0\x8A\x7A,\x90\xC5",
                                           "\xC3\xBD",  "\xCE\xB1",
                                           "\xED\x40",  "\x87\x90",
                                           "\xFA\x54"};
    std::vector<Records> tables = {{{"n", "\x8B\xE0\x8A\x7A,\x90\xC5"}, {"x", "A,1\nB,2\nC,3"}},
                                   {{"a;b"}, {""}},
                                   {{"a\tb"}, {"c;d"}}};
    uint32_t seed = 22;
    const auto random = [&seed](std::size_t n) {
        seed = seed * 1103515245 + 12345;
        return (seed >> 16) % n;
    };
    for (int i = 0; i < 300; ++i) {
        tables.emplace_back(2 + random(4), std::vector<std::string>(1 + random(4)));
    }
    const std::size_t reported = tables.size();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        for (const TextEncoding encoding :
             {TextEncoding::Utf8, TextEncoding::Utf8WithBom, TextEncoding::Cp932}) {
            Records cells = tables[t];
            const std::size_t kept = pool.size() - (encoding == TextEncoding::Cp932 ? 0 : 3);
            for (auto& row : cells) {
                for (std::string& cell : row) {
                    cell = t < reported ? cell : pool[random(kept)];
                }
            }
            TableGrid grid(kMainTableShape), back(kMainTableShape);
            Filled(grid, cells);
            for (const char delimiter : {',', '\t'}) {
                const std::string bytes = Written(grid, TableCellRange(grid), delimiter, encoding,
                                                  nullptr, FieldQuoting::AnyDelimiter);
                EXPECT_EQ(CellsOf(Imported(back, bytes, FirstRecord::ItemNames)), cells) << bytes;
            }
        }
    }
}

// Fields are quoted where they need it; a file's fields also where they hold a delimiter a reader
// might take. A table of one column writes its empty cells as blank lines.
TEST(DelimitedExportTest, WritesFieldsQuotedAsAsked) {
    TableGrid grid(kMainTableShape), narrow(kMainTableShape);
    Filled(grid, {{"a,b", "x;y"}, {" blank ", "\ttab\t"}, {"l1\nl2", ""}}).SetCell(0, 1, "label");
    Filled(narrow, {{"name"}, {""}, {"x"}, {""}});
    EXPECT_EQ(Written(grid, {1, 3, 1, 3}, ',', TextEncoding::Cp932),
              " blank ,\ttab\t\r\n\"l1\nl2\",\r\n");
    EXPECT_EQ(Written(grid, {1, 3, 0, 2}, '\t', TextEncoding::Utf8WithBom, nullptr,
                      FieldQuoting::AnyDelimiter),
              std::string(kUtf8Bom) + "\"a,b\"\t\"x;y\"\r\n blank \t\"\ttab\t\"\r\n");
    EXPECT_EQ(Written(narrow, TableCellRange(narrow), ',', TextEncoding::Utf8),
              "name\r\n\r\nx\r\n\r\n");
}

TEST(DelimitedExportTest, InvalidCp932CellsAreReportedAndMarkedInUtf8) {
    TableGrid grid(kMainTableShape);
    Filled(grid, {{"", ""}, {"ok", "\x81"}, {"\xFF", ""}});  // \x81: a lead byte alone
    DelimitedWriteReport report;
    EXPECT_EQ(Written(grid, {1, 3, 1, 3}, ',', TextEncoding::Utf8, &report),
              "ok,\xE3\x80\x93\r\n\xE3\x80\x93,\r\n");
    EXPECT_EQ(report.invalidCount, 2u);
    EXPECT_EQ(report.invalidCells, (std::vector<GridCell>{{2, 1}, {1, 2}}));
    EXPECT_EQ(Written(grid, {1, 3, 1, 3}, ',', TextEncoding::Cp932), "ok,\x81\r\n\xFF,\r\n");
}

// A table of several blocks, formatted on other threads (more blocks than are formatted at
// once, so that later blocks are made in the memory of earlier ones), comes out in order with
// its invalid cells listed in order; written to a file, it is the same.
TEST(DelimitedExportTest, ALongTableComesOutInOrder) {
    constexpr int32_t kRows = 100'000;
    TableGrid grid(kMainTableShape);
    grid.SetColCount(9);
    grid.SetRowCount(kRows);
    std::string expected;
    for (int32_t row = 0; row < kRows; ++row) {
        grid.SetCell(1, row, std::to_string(row));
        expected += std::to_string(row) + (row == 70'000 ? ",\"a,b\"," : ",,");
        expected += std::string(row == 50'000 || row == kRows - 1 ? kGetaMarkUtf8 : "");
        expected += ",,,,,\r\n";
    }
    grid.SetCell(2, 70'000, "a,b");
    grid.SetCell(3, 50'000, "\xFF");
    grid.SetCell(3, kRows - 1, "\x81");
    DelimitedWriteReport report;
    EXPECT_EQ(Written(grid, TableCellRange(grid), ',', TextEncoding::Utf8, &report), expected);
    EXPECT_EQ(report.invalidCells, (std::vector<GridCell>{{3, 50'000}, {3, kRows - 1}}));
    test::TempFolder folder;
    std::vector<int32_t> progress;
    ExportDelimitedFile(folder / "t.csv", grid, TableCellRange(grid), ',', TextEncoding::Utf8,
                        [&](int32_t rows) { progress.push_back(rows); });
    EXPECT_EQ(test::ReadTestFile(folder / "t.csv"), expected);
    EXPECT_GT(progress.size(), 1u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), kRows);
}

// A loaded table's rows are written from the file's lines, other rows cell by cell; both give
// the same bytes, in every encoding and with every delimiter, whatever the cells hold: texts
// needing quotes near the end of a long line, lone LFs, invalid bytes, kana and kanji, texts of
// about sixteen bytes, a line ended by a CR alone, an edited cell among loaded ones.
TEST(DelimitedExportTest, LoadedLinesAreWrittenAsTheCellsAre) {
    const std::vector<std::string> pool = {"",
                                           "a",
                                           "12,345",
                                           "say \"hi\"",
                                           "two\nlines",
                                           "tab\there",
                                           "semi;colon",
                                           kHinmeiSjis,
                                           kKanaSjis,
                                           "\x81",
                                           "\xFF\x40",
                                           std::string(15, 'x'),
                                           std::string(16, 'y'),
                                           std::string(17, 'z'),
                                           std::string(40, 'w') + kHinmeiSjis + "\"",
                                           std::string(70, 'v'),
                                           std::string(10, 'u') + "\"q\"" + std::string(20, 'u'),
                                           std::string(12, 'k') + kKanaSjis + std::string(20, 'k')};
    constexpr int32_t kRows = 40'000;  // two blocks of four columns
    Records cells(kRows, std::vector<std::string>(4));
    uint32_t seed = 7;
    for (auto& row : cells) {
        for (std::string& cell : row) {
            seed = seed * 1103515245 + 12345;
            cell = pool[(seed >> 16) % pool.size()];
        }
    }
    TableGrid typed(kMainTableShape);
    Filled(typed, cells);
    std::string file(BuildTableFileBytes(typed, "t", WindowGeometry{}).View());
    // Row 2,000's first cell ends with a CR alone, which reads the same.
    const std::size_t lineEnd =
        file.find("\r\n", file.find(cells[2000][0] + "\r\n" + cells[2000][1]));
    file.erase(lineEnd + 1, 1);
    TableGrid loaded(kMainTableShape);
    std::string title;
    ApplyTableFile(*ParseTableFile(file), loaded, title);
    for (TableGrid* grid : {&typed, &loaded}) {
        grid->SetCell(2, 30'000, "edited, \"once\"");
    }
    for (const char delimiter : {',', '\t', ';'}) {
        for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Cp932}) {
            DelimitedWriteReport fromLines, fromCells;
            const CellRange range = TableCellRange(loaded);
            // The semicolon's files quote every delimiter.
            const FieldQuoting quoting =
                delimiter == ';' ? FieldQuoting::AnyDelimiter : FieldQuoting::WhereNeeded;
            const std::string lines =
                Written(loaded, range, delimiter, encoding, &fromLines, quoting);
            const std::string cells =
                Written(typed, range, delimiter, encoding, &fromCells, quoting);
            // Where they part, rather than a diff of megabytes.
            const auto at = static_cast<std::size_t>(
                std::mismatch(lines.begin(), lines.end(), cells.begin(), cells.end()).first -
                lines.begin());
            EXPECT_EQ(lines.substr(at, 40), cells.substr(at, 40)) << "at byte " << at;
            EXPECT_EQ(fromLines.invalidCells, fromCells.invalidCells);
            EXPECT_EQ(fromLines.invalidCount, fromCells.invalidCount);
        }
    }
}

}  // namespace
}  // namespace qv
