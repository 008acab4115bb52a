#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <tuple>
#include <utility>

#include "app/window_system.h"

namespace qv::test {

// One progress dialog as the logic started it, and what it was told.
struct RecordedProgress {
    std::string title;  // UTF-8
    ProgressKind kind = ProgressKind::Load;
    std::vector<std::pair<uint64_t, uint64_t>> steps;  // (done, total) of every Advance
    bool ended = false;                                // the monitor was destroyed
    std::size_t messagesBeforeEnd = 0;                 // messages shown while it ran
};

// One message dialog as the logic asked for it.
struct RecordedMessage {
    std::string text;  // UTF-8
    MessageKind kind = MessageKind::Information;
    MessageButtons buttons = 0;
};

// A scripted stand-in for the windowing system. Tests queue the user's answers to dialogs and
// questions beforehand, then read back what the logic asked for and in which order.
//
// Unscripted answers: a file dialog with no queued answer counts as cancelled and fails the
// test; a message with a single button answers with that button (the user can only press OK);
// a question with several buttons and no queued answer fails the test and answers Cancel, as
// the close box would.
class FakeWindowSystem : public WindowSystem {
public:
    // --- Scripted answers, taken from the front, one per dialog shown. nullopt = cancelled. ---
    std::deque<std::optional<std::string>> openDialogAnswers;
    std::deque<std::optional<std::string>> saveDialogAnswers;
    std::deque<MessageButton> messageAnswers;

    // --- What the logic asked for. ---
    std::vector<FileDialogRequest> openDialogRequests;
    std::vector<FileDialogRequest> saveDialogRequests;
    std::vector<RecordedMessage> messages;
    // Every call, by the name of the WindowSystem function, in order ("ShowMessage",
    // "TitleListChanged", ...). Setting a geometry is logged too; reading one is not.
    std::vector<std::string> calls;

    // --- Window state as the view would hold it. ---
    WindowGeometry mainGeometry{};
    WindowGeometry titleListGeometry{};
    bool titleListVisible = false;
    // The desktop's trash: when available, a file moved there is removed and listed.
    bool trashAvailable = true;
    std::vector<std::string> trashed;

    // --- The find bar as last opened, and the status bar's note (not logged in `calls`). ---
    std::optional<FindBarFocus> findBarFocus;
    std::string statusNote;

    // --- Progress of long loads and saves. When set, the Advance call with this number
    // (counted from 1 across every monitor) answers "cancel", as a user pressing the progress
    // dialog's cancel button would. ---
    std::optional<int> cancelProgressAtCall;
    std::vector<RecordedProgress> progress;
    int progressCalls = 0;

    // --- The CSV/TSV dialogs: scripted answers (nullopt = cancelled) and what they were shown.
    std::deque<std::optional<ImportSettings>> importDialogAnswers;
    std::deque<std::optional<ExportSettings>> exportDialogAnswers;
    std::vector<ImportDialogRequest> importDialogRequests;

    // --- What the user does while a tool dialog is open. Empty hooks do nothing. ---
    std::function<void()> onCloseMainWindow;
    // The tool dialogs: the item name dialog's box as it opened and the answer it gives; the
    // texts typed into the match count or go-to-row dialog, each followed by OK, in turn.
    std::mutex postedMutex;
    std::vector<std::function<void()>> posted;
    std::string itemNameShown;
    std::optional<std::string> itemNameAnswer;
    std::vector<std::string> dialogTexts;
    std::function<void()> onEditStateChanged;

    // Expects exactly one message since the last look, and forgets it.
    void ExpectOneMessage(std::string_view text, MessageKind kind, MessageButtons buttons) {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(std::tie(messages[0].text, messages[0].kind, messages[0].buttons),
                  std::make_tuple(std::string(text), kind, buttons));
        messages.clear();
    }

    // How often a call was made.
    int CallCount(std::string_view name) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), name));
    }

    std::optional<std::string> RunOpenDialog(const FileDialogRequest& request) override {
        return RunFileDialog("RunOpenDialog", request, openDialogRequests, openDialogAnswers);
    }
    std::optional<std::string> RunSaveDialog(const FileDialogRequest& request) override {
        return RunFileDialog("RunSaveDialog", request, saveDialogRequests, saveDialogAnswers);
    }

    MessageButton ShowMessage(std::string_view text, MessageKind kind,
                              MessageButtons buttons) override {
        calls.emplace_back(__func__);
        messages.push_back(RecordedMessage{std::string(text), kind, buttons});
        // A single button is the only answer the user can give.
        const bool single = buttons != 0 && (buttons & (buttons - 1)) == 0;
        EXPECT_TRUE(single || !messageAnswers.empty()) << "unscripted question: " << text;
        return TakeFront(messageAnswers,
                         single ? static_cast<MessageButton>(buttons) : MessageButton::Cancel);
    }

    WindowGeometry MainWindowGeometry() const override { return mainGeometry; }
    void SetMainWindowGeometry(const WindowGeometry& g) override { Set(mainGeometry, g, __func__); }
    WindowGeometry TitleListWindowGeometry() const override { return titleListGeometry; }
    void SetTitleListWindowGeometry(const WindowGeometry& g) override {
        Set(titleListGeometry, g, __func__);
    }

    void ShowTitleListWindow() override { Set(titleListVisible, true, __func__); }
    void HideTitleListWindow() override { Set(titleListVisible, false, __func__); }
    void CloseMainWindow() override { RunModal("CloseMainWindow", onCloseMainWindow); }

    void ShowAboutBox() override { calls.emplace_back(__func__); }
    void PostToWindowThread(std::function<void()> task) override {
        const std::lock_guard<std::mutex> lock(postedMutex);
        posted.push_back(std::move(task));
    }
    // Runs what other threads queued for the window's thread, as its event loop would.
    void RunPosted() {
        std::vector<std::function<void()>> tasks;
        {
            const std::lock_guard<std::mutex> lock(postedMutex);
            tasks.swap(posted);
        }
        for (const auto& task : tasks) {
            task();
        }
    }

    std::optional<std::string> AskItemName(const std::string& shown) override {
        calls.emplace_back(__func__);
        itemNameShown = shown;
        return itemNameAnswer;
    }
    void ShowMatchCountDialog(const std::function<void(const std::string&)>& count) override {
        calls.emplace_back(__func__);
        std::for_each(dialogTexts.begin(), dialogTexts.end(), count);
    }
    void ShowGoToRowDialog(const std::function<bool(const std::string&)>& go) override {
        calls.emplace_back(__func__);
        (void)std::find_if(dialogTexts.begin(), dialogTexts.end(), go);
    }

    void ShowHelp(HelpPage) override { calls.emplace_back(__func__); }

    bool MoveToTrash(const std::string& path) override {
        calls.emplace_back(__func__);
        if (!trashAvailable || std::remove(path.c_str()) != 0) {
            return false;
        }
        trashed.push_back(path);
        return true;
    }

    std::optional<ImportSettings> RunImportDialog(const ImportDialogRequest& request) override {
        calls.emplace_back(__func__);
        importDialogRequests.push_back(request);
        EXPECT_FALSE(importDialogAnswers.empty()) << "unscripted import dialog";
        return TakeFront(importDialogAnswers, std::optional<ImportSettings>());
    }
    std::optional<ExportSettings> RunExportDialog(const ExportSettings&) override {
        calls.emplace_back(__func__);
        EXPECT_FALSE(exportDialogAnswers.empty()) << "unscripted export dialog";
        return TakeFront(exportDialogAnswers, std::optional<ExportSettings>());
    }

    void TitleChanged() override { calls.emplace_back(__func__); }
    void EditStateChanged() override {
        if (onEditStateChanged) {
            onEditStateChanged();
        }
    }
    void ShowFindBar(FindBarFocus focus) override {
        calls.emplace_back(__func__);
        findBarFocus = focus;
    }
    void ShowStatusNote(std::string_view note) override { statusNote = note; }
    void TitleListChanged() override { calls.emplace_back(__func__); }

    // Not logged in `calls`: a monitor runs beside the command, and is checked in `progress`.
    std::unique_ptr<ProgressMonitor> StartProgress(std::string_view title,
                                                   ProgressKind kind) override {
        progress.push_back(RecordedProgress{std::string(title), kind, {}, false, 0});
        return std::make_unique<ScriptedProgress>(*this, progress.size() - 1);
    }

private:
    // Records every step into the fake's list (kept by index: the list may grow meanwhile) and
    // cancels at the scripted call.
    class ScriptedProgress : public ProgressMonitor {
    public:
        ScriptedProgress(FakeWindowSystem& owner, std::size_t index)
            : owner_(owner), index_(index) {}
        ~ScriptedProgress() override {
            owner_.progress[index_].ended = true;
            owner_.progress[index_].messagesBeforeEnd = owner_.messages.size();
        }
        bool Advance(uint64_t done, uint64_t total) override {
            owner_.progress[index_].steps.emplace_back(done, total);
            return ++owner_.progressCalls != owner_.cancelProgressAtCall;
        }

    private:
        FakeWindowSystem& owner_;
        std::size_t index_;
    };

    template <class T>
    void Set(T& field, const T& value, const char* name) {
        calls.emplace_back(name);
        field = value;
    }
    std::optional<std::string> RunFileDialog(const char* name, const FileDialogRequest& request,
                                             std::vector<FileDialogRequest>& requests,
                                             std::deque<std::optional<std::string>>& answers) {
        calls.emplace_back(name);
        requests.push_back(request);
        EXPECT_FALSE(answers.empty()) << "unscripted " << name;
        return TakeFront(answers, std::optional<std::string>());
    }
    template <class T>
    static T TakeFront(std::deque<T>& queue, T otherwise) {
        if (!queue.empty()) {
            otherwise = std::move(queue.front());
            queue.pop_front();
        }
        return otherwise;
    }

    void RunModal(const char* name, const std::function<void()>& hook) {
        calls.emplace_back(name);
        if (hook) {
            hook();
        }
    }
};

}  // namespace qv::test
