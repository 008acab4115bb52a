// CSV/TSV import and export through the main window's logic, and files the desktop hands it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/files_testing.h"
#include "table_file_examples.h"
#include "temp_folder.h"

namespace qv {
namespace {

using ::testing::ThrowsMessage;
constexpr ImportSettings kCsvNames{',', TextEncoding::Utf8, FirstRecord::ItemNames};
constexpr MessageButton kNoQuestion = MessageButton::None;

// Title, file, "*" when modified, then the item names and data rows in UTF-8.
std::string Table(const MainForm& form) {
    const TableGrid& grid = form.StringGrid();
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
    Program() {
        form.FormCreate();
        windows.calls.clear();
    }
    test::FakeWindowSystem windows;
    MainForm form{windows, {"/nonexistent/q.ini", "/nonexistent/q.hst"}, "."};
};

class MainFormInterchangeTest : public ::testing::Test {
protected:
    test::TempFolder folder_;
    Program program_;
    test::FakeWindowSystem& windows_ = program_.windows;
    MainForm& form_ = program_.form;
};

TEST_F(MainFormInterchangeTest, ImportReplacesTheTableAsTheDialogAndTheQuestionSay) {
    const std::string empty = Table(form_);
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<ImportSettings> answer;
        MessageButton unencodable;  // the answer to the question about them
        const char* detected;       // delimiter and encoding (U, B with BOM, C)
        std::string table;
    } cases[] = {
        {"list.csv", "\xEF\xBB\xBF品名,数量\r\nりんご,\"3,5\"", kCsvNames, kNoQuestion, ",B",
         "list file= * 品名|数量/りんご|3,5"},
        {"tab.TSV", *Utf8ToCp932("a\tb\r\nc\t\"d\r\nえ\"\r\n"),
         ImportSettings{'\t', TextEncoding::Cp932, FirstRecord::Data}, kNoQuestion, "\tC",
         "tab file= * |/a|b/c|d\nえ"},
        {"semi.txt", "a;b,c\n", ImportSettings{';', TextEncoding::Utf8}, kNoQuestion, ",U",
         "semi file= * a|b,c/|"},
        {"cancelled.csv", "a,b", std::nullopt, kNoQuestion, ",U", empty},
        {"emoji.csv", "x,😀", kCsvNames, MessageButton::No, ",U", empty},
        {"emoji\r.csv", "x,😀①", kCsvNames, MessageButton::Yes, ",U", "emoji  file= * x|〓①/|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Program p;
        test::WriteTestFile(folder_ / c.name, c.bytes);
        p.windows.openDialogAnswers = {folder_ / c.name};
        p.windows.importDialogAnswers = {c.answer};
        p.windows.messageAnswers = {c.unencodable};
        p.form.ImportDelimitedFile();
        EXPECT_EQ(Table(p.form), c.table);
        EXPECT_FALSE(p.form.CanUndo());
        const ImportDialogRequest& request = p.windows.importDialogRequests.at(0);
        EXPECT_EQ(request.sample, c.bytes);
        EXPECT_EQ(std::string{request.detected.delimiter} + "UBC"[int(request.detected.encoding)],
                  c.detected);
        EXPECT_EQ(p.windows.messages.size(), c.unencodable == kNoQuestion ? 0u : 1u);
        if (p.form.IsModified()) {  // another import asks first; Cancel stops it there
            p.windows.messageAnswers = {MessageButton::Cancel};
            p.form.ImportDelimitedFile();
            EXPECT_EQ(p.windows.CallCount("RunOpenDialog"), 1);
        }
    }
}

TEST_F(MainFormInterchangeTest, FilesFromTheDesktopOpenByKindAndHostileOnesFailAtOnce) {
    ASSERT_EQ(mkfifo((folder_ / "fifo.csv").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((folder_ / "fifo.qvd").c_str(), 0644), 0);
    std::filesystem::create_directory(folder_ / "folder.csv");
    for (const char* name : {"fifo.csv", "fifo.qvd", "folder.csv"}) {
        EXPECT_THAT([&] { form_.OpenFile(folder_ / name); },
                    ThrowsMessage<Failure>("ﾌｧｲﾙへのｱｸｾｽが拒否されました"));
    }
    EXPECT_TRUE(windows_.calls.empty());
    // A table saved as .txt opens as a table; a relative name is taken from the current folder.
    test::WriteTestFile(folder_ / "table.txt", test::ExampleTableFile());
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path());
    form_.OpenFile("table.txt");
    std::filesystem::current_path(here);
    EXPECT_EQ(Table(form_), "買い物 file=" + folder_ / "table.txt" + " 品名|数量/りんご|3/みかん|");
    test::WriteTestFile(folder_ / "x.csv", "a,b");
    windows_.importDialogAnswers = {kCsvNames};
    form_.OpenFile(folder_ / "x.csv");
    EXPECT_EQ(Table(form_), "x file= * a|b/|");  // the loaded table's file is no longer named
}

TEST_F(MainFormInterchangeTest, ExportWritesTheCellsAtomicallyAndReportsInvalidOnes) {
    TableGrid& grid = form_.StringGrid();
    const char* texts[][2] = {{"品名", "数量"}, {"a,b", "say \"hi\""}, {"x\ny", nullptr}};
    for (int32_t row = 0; row < 3; ++row) {
        for (int32_t col = 1; col < 3; ++col) {
            const char* text = texts[row][col - 1];
            grid.SetCell(col, row, text != nullptr ? *Utf8ToCp932(text) : "\x81");
        }
    }
    grid.SetRowCount(3);
    const std::string body = "品名,数量\r\n\"a,b\",\"say \"\"hi\"\"\"\r\n\"x\ny\",";
    const std::string warning =
        "Shift-JIS として正しくない文字を含むセルが 1 個あり、「〓」として書き出しました: 2 行 2 "
        "列";
    const struct {
        ExportSettings settings;
        const char* typed;
        const char* written;
        std::string bytes;
        std::size_t messages;
    } cases[] = {
        {{',', TextEncoding::Utf8WithBom}, "out", "out.csv", "\xEF\xBB\xBF" + body + "〓\r\n", 1},
        {{',', TextEncoding::Utf8}, "out.csv", "out.csv", body + "〓\r\n", 1},
        {{'\t', TextEncoding::Cp932},
         "out.",
         "out.",
         *Utf8ToCp932("品名\t数量\r\na,b\t\"say \"\"hi\"\"\"\r\n\"x\ny\"\t") + "\x81\r\n",
         0},
    };
    for (const auto& c : cases) {
        windows_.exportDialogAnswers = {c.settings};
        windows_.saveDialogAnswers = {folder_ / c.typed};
        form_.ExportDelimitedFile();
        EXPECT_EQ(test::ReadTestFile(folder_ / c.written), c.bytes) << c.written;
        EXPECT_EQ(windows_.messages.size(), c.messages);
        if (c.messages > 0) {
            windows_.ExpectOneMessage(warning, MessageKind::Warning, Buttons(MessageButton::OK));
        }
    }
    // A full disk leaves the old file whole and nothing beside it; the table is not saved.
    const FileFaults full{.failingWrite = 1, .bytesBeforeWriteError = 5, .writeErrno = ENOSPC};
    SetFileFaultsForTesting(&full);
    windows_.exportDialogAnswers = {cases[0].settings};
    windows_.saveDialogAnswers = {folder_ / "out.csv"};
    EXPECT_THAT([&] { form_.ExportDelimitedFile(); }, ThrowsMessage<Failure>("I/O ｴﾗｰ (112)"));
    SetFileFaultsForTesting(nullptr);
    EXPECT_EQ(test::ReadTestFile(folder_ / "out.csv"), body + "〓\r\n");
    EXPECT_EQ(folder_.Listing(), "out.;out.csv;");
    EXPECT_TRUE(form_.Titles().Empty());
}

TEST(ImportPreviewTest, FollowsTheSettingsAndEndsAtALineEnd) {
    const std::string sample = "a;b,c\r\n1;2,3\r\n";
    const ImportPreview comma = PreviewImport(sample, kCsvNames, 5);
    EXPECT_EQ(comma.itemNames, (std::vector<std::string>{"a;b", "c"}));
    EXPECT_EQ(comma.rows, (std::vector<std::vector<std::string>>{{"1;2", "3"}}));
    const ImportPreview semicolon =
        PreviewImport(sample, {';', TextEncoding::Cp932, FirstRecord::Data}, 1);
    EXPECT_TRUE(semicolon.itemNames.empty());
    EXPECT_EQ(semicolon.rows, (std::vector<std::vector<std::string>>{{"a", "b,c"}}));
    std::string lines;
    while (lines.size() <= kPreviewSampleSize) {
        lines += "0123456789,\"あ\"\r\n";
    }
    const std::string cut = PreviewSample(lines);
    EXPECT_TRUE(cut.size() <= kPreviewSampleSize && cut.ends_with("\"\r\n"));
}

}  // namespace
}  // namespace qv
