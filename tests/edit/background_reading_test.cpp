#include "edit/background_reading.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "edit/table_change.h"
#include "edit/table_document.h"
#include "table/main_table_shape.h"

namespace qv {
namespace {

// The window thread's queue, run by hand.
class PostedTasks {
public:
    BackgroundReading::Post Poster() {
        return [this](std::function<void()> task) {
            const std::lock_guard<std::mutex> lock(mutex_);
            tasks_.push_back(std::move(task));
        };
    }
    // Waits until something was queued (a reading runs on another thread), then runs it all.
    void RunWhenQueued() {
        while (Empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        RunAll();
    }
    void RunAll() {
        std::vector<std::function<void()>> tasks;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            tasks.swap(tasks_);
        }
        for (const auto& task : tasks) {
            task();
        }
    }
    bool Empty() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return tasks_.empty();
    }

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> tasks_;
};

// A reading that delivers its name and the text of cell (1, 1) as it read it, after waiting
// until it may go on or is cancelled.
BackgroundReading::Read ReadCell(const char* name, const TableDocument& document,
                                 const std::atomic<bool>& go, std::vector<std::string>& delivered) {
    return [name, &document, &go, &delivered](const std::atomic<bool>& cancelled) {
        while (!go.load() && !cancelled.load()) {
            std::this_thread::yield();
        }
        std::string text = name + document.Table().CellText(1, 1);
        return std::function<void()>([&delivered, text] { delivered.push_back(text); });
    };
}

// What reaches the window: the latest reading's result when nothing changed; never one a change,
// a later reading or Stop overtook, even when it was already queued.
TEST(BackgroundReadingTest, DeliversOnlyTheLatestReadingOfAnUnchangedTable) {
    TableDocument document(kMainTableShape, kMainTableShape);
    PostedTasks window;
    BackgroundReading reading(document, window.Poster());
    std::vector<std::string> delivered;
    std::atomic<bool> go{true};

    reading.Start(ReadCell("a:", document, go, delivered));
    window.RunWhenQueued();
    EXPECT_EQ(delivered, std::vector<std::string>{"a:"});

    go = false;  // held until the change cancels it: the change waits for it to stop
    reading.Start(ReadCell("b:", document, go, delivered));
    document.Apply(CellTextsChange::Typed(document.Table(), {1, 1}, "new"));
    window.RunAll();
    EXPECT_EQ(delivered.size(), 1u);

    go = true;
    reading.Start(ReadCell("c:", document, go, delivered));
    while (window.Empty()) {
        std::this_thread::yield();
    }
    reading.Start(ReadCell("d:", document, go, delivered));  // c's result is queued
    while (delivered.size() < 2) {
        window.RunWhenQueued();
    }
    EXPECT_EQ(delivered, (std::vector<std::string>{"a:", "d:new"}));

    reading.Start(ReadCell("e:", document, go, delivered));
    while (window.Empty()) {
        std::this_thread::yield();
    }
    document.Undo();
    window.RunAll();
    EXPECT_EQ(delivered.size(), 2u);
}

}  // namespace
}  // namespace qv
