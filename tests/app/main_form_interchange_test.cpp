// CSV/TSV import and export through the main window's logic, and files the desktop hands it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "expect_failure.h"
#include "platform/cp932.h"
#include "platform/files_testing.h"
#include "table_file_examples.h"
#include "temp_folder.h"

namespace qv {
namespace {

constexpr ImportSettings kCsvNames{',', TextEncoding::Utf8, FirstRecord::ItemNames};

// Title, file, "*" when modified, then the item names and data rows in UTF-8.
std::string Table(const MainForm& form) {
    const TableGrid& grid = form.Table();
    std::string text =
        form.EditTitle() + " file=" + form.CurFileName() + (form.IsModified() ? " * " : " ");
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        for (int32_t col = 1; col < grid.ColCount(); ++col) {
            text.append(col > 1 ? "|" : row > 0 ? "/" : "").append(grid.CellText(col, row));
        }
    }
    return Cp932ToUtf8(text);
}

struct Program {
    test::FakeWindowSystem windows;
    MainForm form{windows, {"/nonexistent/q.ini", "/nonexistent/q.hst"}, "."};
};

TEST(MainFormInterchangeTest, ImportReplacesTheTableAsTheDialogAndTheQuestionSay) {
    test::TempFolder folder;
    const struct {
        const char* name;
        std::string bytes;
        ImportSettings answer;
        MessageButton unencodable;  // the answer to the question about them
        const char* detected;       // delimiter and encoding (U, B with BOM, C)
        std::string table;
    } cases[] = {
        {"list.csv", "\xEF\xBB\xBF品名,数量\r\nりんご,\"3,5\"", kCsvNames, MessageButton::None,
         ",B", "list file= * 品名|数量/りんご|3,5"},
        {"tab.TSV", *Utf8ToCp932("a\tb\r\nc\t\"d\r\nえ\"\r\n"),
         ImportSettings{'\t', TextEncoding::Cp932, FirstRecord::Data}, MessageButton::None, "\tC",
         "tab file= * |/a|b/c|d\nえ"},
        {"emoji.csv", "x,😀", kCsvNames, MessageButton::No, ",U", Table(Program().form)},
        {"emoji\r.csv", "x,😀①", kCsvNames, MessageButton::Yes, ",U", "emoji  file= * x|〓①/|"},
    };
    for (const auto& c : cases) {
        Program p;
        test::WriteTestFile(folder / c.name, c.bytes);
        p.windows.openDialogAnswers = {folder / c.name};
        p.windows.importDialogAnswers = {c.answer};
        p.windows.messageAnswers = {c.unencodable};
        p.form.Interchange().ImportDelimitedFile();
        EXPECT_EQ(Table(p.form), c.table);
        EXPECT_FALSE(p.form.Document().CanUndo());
        const ImportSettings& detected = p.windows.importDialogRequests.at(0).detected;
        EXPECT_EQ(std::string{detected.delimiter} + "UBC"[int(detected.encoding)], c.detected);
        EXPECT_EQ(p.windows.messages.size(), c.unencodable == MessageButton::None ? 0u : 1u);
        for (const auto& message : p.windows.messages) {  // the item names' row as the grid has it
            EXPECT_NE(message.text.find("項目名 2 列「😀」"), std::string::npos) << message.text;
        }
        if (p.form.IsModified()) {  // another import asks first; Cancel stops it there
            EXPECT_EQ(p.form.Files().SaveDialogFileName(),
                      std::filesystem::path(folder / c.name).replace_extension(".qvd").string());
            p.windows.messageAnswers = {MessageButton::Cancel};
            p.form.Interchange().ImportDelimitedFile();
            EXPECT_EQ(p.windows.CallCount("RunOpenDialog"), 1);
        }
    }
    // A long import cancelled in its progress dialog leaves the table as it was.
    Program p;
    std::string big;
    for (int i = 0; i < 20'000; ++i) {
        big += "a,b\r\n";
    }
    test::WriteTestFile(folder / "big.csv", big);
    p.windows.openDialogAnswers = {folder / "big.csv"};
    p.windows.importDialogAnswers = {kCsvNames};
    p.windows.cancelProgressAtCall = 2;
    const std::string before = Table(p.form);
    p.form.Interchange().ImportDelimitedFile();
    EXPECT_EQ(p.windows.progress.back().steps.size(), 2u);
    EXPECT_EQ(Table(p.form), before);
}

TEST(MainFormInterchangeTest, FilesFromTheDesktopOpenByKindAndHostileOnesFailAtOnce) {
    test::TempFolder folder;
    Program p;
    ASSERT_EQ(mkfifo((folder / "fifo.csv").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((folder / "fifo.qvd").c_str(), 0644), 0);
    std::filesystem::create_directory(folder / "folder.csv");
    for (const char* name : {"fifo.csv", "fifo.qvd", "folder.csv"}) {
        EXPECT_FAILS(p.form.Interchange().OpenFile(folder / name), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    }
    EXPECT_TRUE(p.windows.calls.empty());
    // A table saved as .txt opens as a table; a relative name is taken from the current folder.
    test::WriteTestFile(folder / "table.txt", test::ExampleTableFile());
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    p.form.Interchange().OpenFile("table.txt");
    std::filesystem::current_path(here);
    EXPECT_EQ(Table(p.form), "買い物 file=" + folder / "table.txt" + " 品名|数量/りんご|3/みかん|");
    test::WriteTestFile(folder / "x.csv", "a,b");
    p.windows.importDialogAnswers = {kCsvNames};
    p.form.Interchange().OpenFile(folder / "x.csv");
    EXPECT_EQ(Table(p.form), "x file= * a|b/|");  // the loaded table's file is no longer named
}

TEST(MainFormInterchangeTest, ExportWritesTheCellsAtomicallyAndReportsInvalidOnes) {
    test::TempFolder folder;
    Program p;
    TableGrid& grid = p.form.Document().UnrecordedTable();
    grid.SetRowCount(3);
    grid.SetCell(1, 0, *Utf8ToCp932("品名"));
    grid.SetCell(1, 1, "a,b");
    grid.SetCell(2, 1, "say \"hi\"");
    grid.SetCell(1, 2, "x\ny");
    grid.SetCell(2, 2, "\x81");  // a lead byte alone: not CP932
    const std::string csv = "品名,\r\n\"a,b\",\"say \"\"hi\"\"\"\r\n\"x\ny\",";
    const struct {
        ExportSettings settings;
        const char* typed;
        const char* written;
        std::string bytes;
    } cases[] = {
        {{',', TextEncoding::Utf8WithBom}, "out", "out.csv", "\xEF\xBB\xBF" + csv + "〓\r\n"},
        {{'\t', TextEncoding::Cp932},
         "out.",
         "out.",
         *Utf8ToCp932("品名\t\r\n\"a,b\"\t\"say \"\"hi\"\"\"\r\n\"x\ny\"\t") + "\x81\r\n"},
    };
    for (const auto& c : cases) {
        p.windows.exportDialogAnswers = {c.settings};
        p.windows.saveDialogAnswers = {folder / c.typed};
        p.form.Interchange().ExportDelimitedFile();
        EXPECT_EQ(test::ReadTestFile(folder / c.written), c.bytes) << c.written;
    }
    p.windows.ExpectOneMessage(  // UTF-8 only: CP932 keeps the bytes as they are
        "Shift-JIS として正しくない文字を含むセルが 1 個あり、「〓」として書き出しました: 2 行 2 "
        "列",
        MessageKind::Warning, Buttons(MessageButton::OK));
    // A full disk leaves the old file whole and nothing beside it; the table is not saved.
    const FileFaults full{.failingWrite = 1, .bytesBeforeWriteError = 5, .writeErrno = ENOSPC};
    SetFileFaultsForTesting(&full);
    p.windows.exportDialogAnswers = {cases[1].settings};
    p.windows.saveDialogAnswers = {folder / "out.csv"};
    EXPECT_FAILS(p.form.Interchange().ExportDelimitedFile(), "I/O ｴﾗｰ (112)");
    SetFileFaultsForTesting(nullptr);
    EXPECT_EQ(test::ReadTestFile(folder / "out.csv"), cases[0].bytes);
    EXPECT_EQ(folder.Listing(), "out.;out.csv;");
    // Under a filter the export asks: the shown rows only (one BOM), or every row.
    p.form.Filter().ApplyFilter({{1, FilterTest::Contains, "a"}}, FilterMatching::Exact);
    p.windows.messageAnswers = {MessageButton::Yes};
    p.windows.exportDialogAnswers = {cases[0].settings};
    p.windows.saveDialogAnswers = {folder / "shown.csv"};
    p.form.Interchange().ExportDelimitedFile();
    EXPECT_EQ(test::ReadTestFile(folder / "shown.csv"),
              "\xEF\xBB\xBF品名,\r\n\"a,b\",\"say \"\"hi\"\"\"\r\n");
    EXPECT_TRUE(p.form.Files().Titles().Empty() && !p.form.IsModified());
}

}  // namespace
}  // namespace qv
