// The undo history's bound: the oldest changes go beyond the step or byte limit, the newest
// always stays, and a saved table that went with them can no longer be undone back to.
#include <gtest/gtest.h>

#include <memory>

#include "edit/edit_history.h"

namespace qv {
namespace {

// A change that keeps `bytes` bytes and counts how often it is undone and redone.
class CountedChange final : public TableChange {
public:
    CountedChange(std::size_t bytes, int& undone) : bytes_(bytes), undone_(undone) {}
    void Undo(EditTarget&) override { ++undone_; }
    void Redo(EditTarget&) override { --undone_; }
    std::size_t Bytes() const override { return bytes_; }

private:
    std::size_t bytes_;
    int& undone_;
};

TEST(EditHistoryTest, TheOldestChangesGoBeyondTheLimitsAndTakeTheSavedTableWithThem) {
    TableGrid grid({2, 2, 1, 1, 10, 10}), buffer({2, 1, 0, 0, 10, 10});
    std::string title;
    ShownRows shown;
    EditTarget target{grid, buffer, title, shown};
    int undone = 0;
    EditHistory history({3, 100});
    history.Push(std::make_unique<CountedChange>(10, undone), {});
    history.MarkSaved();
    history.Push(std::make_unique<CountedChange>(20, undone), {});
    history.Push(std::make_unique<CountedChange>(30, undone), {});
    EXPECT_EQ(history.Bytes(), 60u);
    history.Undo(target);
    history.Undo(target);
    EXPECT_TRUE(history.AtSavedState());
    history.Redo(target);
    history.Redo(target);
    history.Push(std::make_unique<CountedChange>(40, undone), {});  // over 3 steps: the first goes
    EXPECT_EQ(history.Steps(), 3u);
    EXPECT_EQ(history.Bytes(), 90u);
    history.Push(std::make_unique<CountedChange>(95, undone), {});  // over 100 bytes: all but it go
    EXPECT_EQ(history.Steps(), 1u);
    EXPECT_EQ(history.Bytes(), 95u);
    history.Undo(target);
    history.Undo(target);  // nothing more to undo
    EXPECT_EQ(undone, 1);
    EXPECT_FALSE(history.CanUndo() || history.AtSavedState());
}

}  // namespace
}  // namespace qv
