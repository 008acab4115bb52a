// The column tools as the main window runs them: the statistics report and the match count in an
// information box, and the item name dialog's reading and writing of the header cell.
#include <gtest/gtest.h>

#include <string>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "platform/failure.h"
#include "tools/statistics_number.h"

namespace qv {
namespace {

using test::FakeWindowSystem;

const StoreLocations kStores{"/nonexistent/Quorvane.ini", "/nonexistent/Quorvane.hst"};

// Column 2 holds the worked example of the statistics report; column 1 texts to count.
class MainFormToolsTest : public ::testing::Test {
protected:
    explicit MainFormToolsTest(std::string decimalSeparator = ".")
        : form_(windows_, kStores, std::move(decimalSeparator)) {
        const char* column2[] = {"\\1,200", "-\\300", "abc", "", "2.5e2"};
        const char* column1[] = {"abc", "  abc", "ABC", "abc  ", "a bc"};
        for (int32_t row = 1; row <= 5; ++row) {
            Grid().SetCell(2, row, column2[row - 1]);
            Grid().SetCell(1, row, column1[row - 1]);
        }
        Grid().SetCell(1, 0, "abc");  // the item name is never counted
        Grid().SetCell(1, 6, "abc");  // nor a row beyond the count
    }

    TableGrid& Grid() { return form_.StringGrid(); }
    void Select(int32_t col, int32_t row) { ASSERT_TRUE(Grid().SetCurrentCell({col, row})); }

    void ExpectOneInformation(const std::string& text) {
        ASSERT_EQ(windows_.messages.size(), 1u);
        EXPECT_EQ(windows_.messages[0].text, text);
        EXPECT_EQ(windows_.messages[0].kind, MessageKind::Information);
        EXPECT_EQ(windows_.messages[0].buttons, Buttons(MessageButton::OK));
    }

    FakeWindowSystem windows_;
    TFormMain form_;
};

const char* const kWorkedExampleReport =
    "      合   計   :  1150\n"
    "      平   均   :  383.333333333333\n"
    "      最   大   :  1200\n"
    "      最   小   :  -300\n"
    "有効データ数 :  3\n"
    "   全データ数 :  4";

TEST_F(MainFormToolsTest, CalcColumnShowsTheReportOfTheCurrentColumnFromMenuAndToolbar) {
    using Handler = void (TFormMain::*)();
    for (Handler handler : {&TFormMain::KC1Click, &TFormMain::SpeedButton8Click}) {
        windows_.messages.clear();
        Select(2, 3);
        (form_.*handler)();
        ExpectOneInformation(kWorkedExampleReport);
    }
}

TEST_F(MainFormToolsTest, CalcColumnWithoutNumbersSaysSo) {
    Select(1, 1);
    form_.CalcColumn();
    ExpectOneInformation("データは、5件ありましたが、\n計算対象のデータはありませんでした。");
}

TEST_F(MainFormToolsTest, CalcColumnOverflowFailsWithoutAReport) {
    Grid().SetCell(2, 2, "1e308");
    Grid().SetCell(2, 3, "1e308");
    Select(2, 1);
    try {
        form_.KC1Click();
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.message(), kFloatOverflowMessage);
    }
    EXPECT_TRUE(windows_.messages.empty());
}

class MainFormToolsCommaTest : public MainFormToolsTest {
protected:
    MainFormToolsCommaTest() : MainFormToolsTest(",") {}
};

TEST_F(MainFormToolsCommaTest, CalcColumnWritesTheLocalesDecimalSeparator) {
    Select(2, 1);
    form_.CalcColumn();
    ASSERT_EQ(windows_.messages.size(), 1u);
    EXPECT_NE(windows_.messages[0].text.find("383,333333333333"), std::string::npos);
}

TEST_F(MainFormToolsTest, CountMatchesCountsTheCurrentColumn) {
    const struct {
        int32_t col;
        const char* search;
        const char* message;
    } cases[] = {
        {1, "abc", "3 件一致しました。"}, {1, " ABC ", "1 件一致しました。"},
        {1, "xyz", "0 件一致しました。"}, {2, "abc", "1 件一致しました。"},
        {2, "", "1 件一致しました。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.search);
        windows_.messages.clear();
        Select(c.col, 1);
        form_.CountMatches(c.search);
        ExpectOneInformation(c.message);
    }
}

TEST_F(MainFormToolsTest, MatchCountMenuOpensTheDialogWhoseOkCounts) {
    Select(1, 2);
    windows_.onMatchCountDialog = [this] { form_.CountMatches("abc"); };

    form_.K25Click();

    EXPECT_EQ(windows_.CallCount("ShowMatchCountDialog"), 1);
    ExpectOneInformation("3 件一致しました。");
}

TEST_F(MainFormToolsTest, ItemNameDialogEditsTheHeaderOfTheCurrentColumn) {
    Grid().SetCell(2, 0, "数量");
    Select(2, 4);
    std::string shown;
    windows_.onItemNameDialog = [&] {
        shown = form_.ItemNameForDialog();
        form_.SetItemName("  個数 ");
    };

    form_.K19Click();

    EXPECT_EQ(windows_.CallCount("ShowItemNameDialog"), 1);
    EXPECT_EQ(shown, "数量");
    EXPECT_EQ(Grid().Cell(2, 0), "  個数 ");  // kept as typed, blanks included
    EXPECT_EQ(Grid().Cell(1, 0), "abc");
}

TEST_F(MainFormToolsTest, ItemNameFollowsTheCurrentColumn) {
    Grid().SetCell(2, 0, "second");
    Select(1, 1);
    EXPECT_EQ(form_.ItemNameForDialog(), "abc");
    Select(2, 1);
    EXPECT_EQ(form_.ItemNameForDialog(), "second");

    form_.SetItemName("");

    EXPECT_EQ(Grid().Cell(2, 0), "");
    EXPECT_EQ(form_.ItemNameForDialog(), "");
}

}  // namespace
}  // namespace qv
