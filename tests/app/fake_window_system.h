#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
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
    int mainWindowCloseRequests = 0;
    // The desktop's trash: when available, a file moved there is removed and listed.
    bool trashAvailable = true;
    std::vector<std::string> trashed;

    // --- Progress of long loads and saves. When set, the Advance call with this number
    // (counted from 1 across every monitor) answers "cancel", as a user pressing the progress
    // dialog's cancel button would. ---
    std::optional<int> cancelProgressAtCall;
    std::vector<RecordedProgress> progress;
    int progressCalls = 0;

    // --- What the user does while a tool dialog is open. Empty hooks do nothing. ---
    std::function<void()> onCloseMainWindow;
    std::function<void()> onItemNameDialog;
    std::function<void()> onMatchCountDialog;

    // Expects exactly one message since the last look, and forgets it.
    void ExpectOneMessage(std::string_view text, MessageKind kind, MessageButtons buttons) {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, text);
        EXPECT_EQ(messages[0].kind, kind);
        EXPECT_EQ(messages[0].buttons, buttons);
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
        calls.emplace_back("ShowMessage");
        messages.push_back(RecordedMessage{std::string(text), kind, buttons});
        if (messageAnswers.empty()) {
            // A single button is the only answer the user can give.
            const bool single = buttons != 0 && (buttons & (buttons - 1)) == 0;
            EXPECT_TRUE(single) << "unscripted question: " << text;
            return single ? static_cast<MessageButton>(buttons) : MessageButton::Cancel;
        }
        const MessageButton answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }

    WindowGeometry MainWindowGeometry() const override { return mainGeometry; }
    void SetMainWindowGeometry(const WindowGeometry& geometry) override {
        calls.emplace_back("SetMainWindowGeometry");
        mainGeometry = geometry;
    }
    WindowGeometry TitleListWindowGeometry() const override { return titleListGeometry; }
    void SetTitleListWindowGeometry(const WindowGeometry& geometry) override {
        calls.emplace_back("SetTitleListWindowGeometry");
        titleListGeometry = geometry;
    }

    void ShowTitleListWindow() override {
        calls.emplace_back("ShowTitleListWindow");
        titleListVisible = true;
    }
    void HideTitleListWindow() override {
        calls.emplace_back("HideTitleListWindow");
        titleListVisible = false;
    }
    void CloseMainWindow() override {
        ++mainWindowCloseRequests;
        RunModal("CloseMainWindow", onCloseMainWindow);
    }

    void ShowAboutBox() override { calls.emplace_back("ShowAboutBox"); }
    void ShowItemNameDialog() override { RunModal("ShowItemNameDialog", onItemNameDialog); }
    void ShowMatchCountDialog() override { RunModal("ShowMatchCountDialog", onMatchCountDialog); }

    void ShowHelp(HelpCommand) override { calls.emplace_back("ShowHelp"); }

    bool MoveToTrash(const std::string& path) override {
        calls.emplace_back("MoveToTrash");
        if (!trashAvailable || std::remove(path.c_str()) != 0) {
            return false;
        }
        trashed.push_back(path);
        return true;
    }

    void TitleChanged() override { calls.emplace_back("TitleChanged"); }
    void TitleListChanged() override { calls.emplace_back("TitleListChanged"); }

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

    std::optional<std::string> RunFileDialog(const char* name, const FileDialogRequest& request,
                                             std::vector<FileDialogRequest>& requests,
                                             std::deque<std::optional<std::string>>& answers) {
        calls.emplace_back(name);
        requests.push_back(request);
        if (answers.empty()) {
            ADD_FAILURE() << "unscripted " << name;
            return std::nullopt;
        }
        std::optional<std::string> answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }

    void RunModal(const char* name, const std::function<void()>& hook) {
        calls.emplace_back(name);
        if (hook) {
            hook();
        }
    }
};

}  // namespace qv::test
