// Random sequences of the editing commands (and the user's row drags and cell writes) run on
// the main window's logic and on a plain dense reference of the table, the deleted-row buffer
// and the sizes; after every step they must agree, beyond the counts too.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "table/cell_column.h"

namespace qv {
namespace {

constexpr int kCols = 10;  // every text the sequence stores lies inside this capacity
constexpr int kRows = 60;
constexpr int kMaxColCount = 7;
constexpr int kMaxRowCount = 48;

struct ReferenceTable {
    std::vector<std::vector<std::string>> cells =
        std::vector<std::vector<std::string>>(kCols, std::vector<std::string>(kRows));
    std::vector<std::string> buffer = std::vector<std::string>(kCols);
    int colCount = 3, rowCount = 6;
    std::vector<int> widths = {32, 153, 69};
    std::vector<int> heights = std::vector<int>(6, 18);
    GridCell current{1, 1};
    std::string title;

    void SetCount(bool columns, int n) {
        int& count = columns ? colCount : rowCount;
        std::vector<int>& sizes = columns ? widths : heights;
        const int def = columns ? 32 : 18;
        if (n > count) {
            sizes[static_cast<size_t>(count - 1)] = def;
        }
        sizes.resize(static_cast<size_t>(n), def);
        count = n;
        int& position = columns ? current.col : current.row;
        position = std::min(position, n - 1);
    }

    void Renumber() {
        for (int r = 1; r < rowCount; ++r) {
            cells[0][r] = std::string(cell_handle::LabelText(r));
        }
    }

    void CopyRowToBuff(int r) {
        for (int c = 1; c < colCount; ++c) {
            buffer[c] = cells[c][r];
        }
    }

    void DeleteRow() {
        const int r = current.row;
        CopyRowToBuff(r);
        if (rowCount == 2) {
            for (int c = 0; c < colCount; ++c) {
                cells[c][r].clear();
            }
            return;
        }
        for (int s = r + 1; s < rowCount; ++s) {
            for (int c = 1; c < colCount; ++c) {
                cells[c][s - 1] = cells[c][s];
            }
        }
        SetCount(false, rowCount - 1);
        Renumber();
    }

    void InsertRow(int i) {
        SetCount(false, rowCount + 1);
        for (int s = rowCount - 1; s > i; --s) {
            for (int c = 1; c < colCount; ++c) {
                cells[c][s] = cells[c][s - 1];
            }
        }
        for (int c = 1; c < colCount; ++c) {
            cells[c][i].clear();
        }
        Renumber();
    }

    void PasteRow(int r) {
        for (int c = 1; c < colCount; ++c) {
            cells[c][r] = buffer[c];
        }
    }

    void AddColumn() {
        const int w = widths[static_cast<size_t>(colCount - 1)];
        SetCount(true, colCount + 1);
        widths[static_cast<size_t>(colCount - 2)] = w;
    }

    void DeleteColumn() {
        if (colCount > 2) {
            SetCount(true, colCount - 1);
        }
    }

    void ClearAll() {
        title.clear();
        for (int c = 1; c < colCount; ++c) {
            for (int r = 0; r < rowCount; ++r) {
                cells[c][r].clear();
            }
        }
    }

    void MoveRow(int from, int to) {
        for (auto& column : cells) {
            std::string moved = column[from];
            column.erase(column.begin() + from);
            column.insert(column.begin() + to, moved);
        }
        const int h = heights[static_cast<size_t>(from)];
        heights.erase(heights.begin() + from);
        heights.insert(heights.begin() + to, h);
        int& p = current.row;
        if (p == from) {
            p = to;
        } else if (from < to && p > from && p <= to) {
            --p;
        } else if (from > to && p >= to && p < from) {
            ++p;
        }
        Renumber();
    }
};

class EditingModelCheck {
public:
    explicit EditingModelCheck(uint32_t seed)
        : random_(seed),
          form_(windows_, StoreLocations{"/nonexistent/q.ini", "/nonexistent/q.hst"}, ".") {
        form_.FormCreate();
        Grid().SetColWidth(1, 153);
        Grid().SetColWidth(2, 69);
    }

    void Run(int steps) {
        for (int step = 0; step < steps; ++step) {
            RandomStep();
            ASSERT_NO_FATAL_FAILURE(Compare()) << "after step " << step << ": " << last_;
        }
    }

private:
    TableGrid& Grid() { return form_.StringGrid(); }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string RandomText() {
        static const std::vector<std::string> texts = {
            "",
            "x",
            "\x94\x83\x82\xA2",
            "\x5C"
            "300",
            "\xFF",
            " 7 ",
            "a text longer than any short string buffer keeps inline"};
        return texts[static_cast<size_t>(Pick(0, static_cast<int>(texts.size()) - 1))];
    }

    void RandomStep() {
        switch (Pick(0, 10)) {
            case 0:
                last_ = "DeleteRow";
                form_.Delete2Click();
                ref_.DeleteRow();
                break;
            case 1:
                if (ref_.rowCount < kMaxRowCount) {
                    last_ = "InsertRow before";
                    form_.K12Click();
                    ref_.InsertRow(ref_.current.row);
                }
                break;
            case 2:
                if (ref_.rowCount < kMaxRowCount) {
                    last_ = "InsertRow after";
                    form_.SpeedButton7Click();
                    ref_.InsertRow(ref_.current.row + 1);
                }
                break;
            case 3:
                last_ = "PasteRow";
                form_.K14Click();
                ref_.PasteRow(ref_.current.row);
                break;
            case 4:
                if (ref_.colCount < kMaxColCount) {
                    last_ = "AddColumn";
                    form_.K16Click();
                    ref_.AddColumn();
                }
                break;
            case 5:
                last_ = "DeleteColumn";
                form_.K17Click();
                ref_.DeleteColumn();
                break;
            case 6: {
                const bool yes = Pick(0, 1) == 1;
                last_ = yes ? "ClearAll yes" : "ClearAll no";
                windows_.messageAnswers.push_back(yes ? MessageButton::Yes : MessageButton::No);
                form_.K22Click();
                if (yes) {
                    ref_.ClearAll();
                }
                break;
            }
            case 7: {
                const int from = Pick(1, ref_.rowCount - 1), to = Pick(1, ref_.rowCount - 1);
                last_ = "MoveRow " + std::to_string(from) + " " + std::to_string(to);
                if (from != to) {
                    Grid().MoveRow(from, to);  // the model tells the logic, which renumbers
                    ref_.MoveRow(from, to);
                }
                break;
            }
            case 8: {
                const GridCell cell{Pick(1, ref_.colCount - 1), Pick(1, ref_.rowCount - 1)};
                last_ = "SetCurrentCell";
                ASSERT_TRUE(Grid().SetCurrentCell(cell));
                ref_.current = cell;
                break;
            }
            case 9: {
                const int h = Pick(5, 40), r = Pick(0, ref_.rowCount - 1);
                last_ = "SetRowHeight";
                Grid().SetRowHeight(r, h);
                ref_.heights[static_cast<size_t>(r)] = h;
                const int w = Pick(5, 90), c = Pick(0, ref_.colCount - 1);
                Grid().SetColWidth(c, w);
                ref_.widths[static_cast<size_t>(c)] = w;
                break;
            }
            default:
                for (int k = 0; k < 3; ++k) {  // typing, also beyond the counts
                    const int c = Pick(1, kCols - 1), r = Pick(0, kRows - 1);
                    const std::string text = RandomText();
                    last_ = "SetCell";
                    Grid().SetCell(c, r, text);
                    ref_.cells[c][r] = text;
                }
                break;
        }
    }

    void Compare() {
        ASSERT_EQ(Grid().ColCount(), ref_.colCount);
        ASSERT_EQ(Grid().RowCount(), ref_.rowCount);
        ASSERT_EQ(Grid().Current(), ref_.current);
        ASSERT_EQ(form_.EditTitle(), ref_.title);
        for (int c = 0; c < kCols; ++c) {
            ASSERT_EQ(Grid().ColWidth(c), c < ref_.colCount ? ref_.widths[c] : 32) << c;
            ASSERT_EQ(form_.StringGrid_Buff().Cell(c, 0), c == 0 ? "" : ref_.buffer[c]) << c;
            for (int r = 0; r < kRows; ++r) {
                ASSERT_EQ(Grid().Cell(c, r), ref_.cells[c][r]) << "cell " << c << "," << r;
            }
        }
        for (int r = 0; r < kRows; ++r) {
            ASSERT_EQ(Grid().RowHeight(r), r < ref_.rowCount ? ref_.heights[r] : 18) << r;
        }
        ASSERT_EQ(form_.StringGrid_Buff().ColCount(), ref_.colCount - 1);
    }

    std::mt19937 random_;
    test::FakeWindowSystem windows_;
    TFormMain form_;
    ReferenceTable ref_;
    std::string last_;
};

TEST(EditingModelTest, RandomEditingSequencesAgreeWithTheReference) {
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        EditingModelCheck check(seed);
        ASSERT_NO_FATAL_FAILURE(check.Run(300));
    }
}

}  // namespace
}  // namespace qv
