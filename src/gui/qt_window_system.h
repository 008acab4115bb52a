#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/window_system.h"
#include "gui/modal_runner.h"

class QDialog;
class QWidget;

namespace qv {

class AboutBox;
class CompareWindow;
class ActivationTracker;
class HelpViewer;
class TitleListWindow;
class ItemNameDialog;
class MainWindow;
class MatchCountDialog;
class GoToRowDialog;

// The windowing system of the program's logic, made of Qt widgets. Every modal window (message
// dialogs, the failure box, file dialogs, the about box and the two tool dialogs) runs through
// one ModalRunner, which tests replace to act as the user.
class QtWindowSystem final : public WindowSystem {
public:
    QtWindowSystem();
    ~QtWindowSystem() override;
    QtWindowSystem(const QtWindowSystem&) = delete;
    QtWindowSystem& operator=(const QtWindowSystem&) = delete;

    // The windows, as start-up creates them.
    void AttachMainWindow(MainWindow* window) { main_ = window; }
    void AttachTitleListWindow(TitleListWindow* window) { titleList_ = window; }
    void AttachAboutBox(AboutBox* box) { about_ = box; }
    void AttachItemNameDialog(ItemNameDialog* dialog) { itemName_ = dialog; }
    void AttachMatchCountDialog(MatchCountDialog* dialog) { matchCount_ = dialog; }
    void AttachGoToRowDialog(GoToRowDialog* dialog) { goToRow_ = dialog; }
    void AttachActivationTracker(ActivationTracker* tracker) { tracker_ = tracker; }

    void SetModalRunner(ModalRunner runner) { runner_ = std::move(runner); }
    int RunModal(QDialog& dialog);

    // Runs one command of a menu item, a button or a window event. A failure ends it and shows
    // in the failure box. Returns whether the command ran to its end.
    bool RunCommand(const std::function<void()>& command);
    // Runs a command the user chose (a menu item, a button, a key, typing into a cell): the
    // status bar's notice of what went before goes first.
    bool RunChosenCommand(const std::function<void()>& command);
    void ShowFailure(const QString& message);

    // The help viewer, once it has been opened.
    HelpViewer* Help() const { return help_.get(); }

    // --- WindowSystem ---
    std::optional<std::string> RunOpenDialog(const FileDialogRequest& request) override;
    std::optional<std::string> RunSaveDialog(const FileDialogRequest& request) override;
    MessageButton ShowMessage(std::string_view text, MessageKind kind,
                              MessageButtons buttons) override;
    WindowGeometry MainWindowGeometry() const override;
    void SetMainWindowGeometry(const WindowGeometry& geometry) override;
    WindowGeometry TitleListWindowGeometry() const override;
    void SetTitleListWindowGeometry(const WindowGeometry& geometry) override;
    void ShowTitleListWindow() override;
    void HideTitleListWindow() override;
    void CloseMainWindow() override;
    void ShowAboutBox() override;
    void PostToWindowThread(std::function<void()> task) override;
    std::optional<std::string> AskItemName(const std::string& shown) override;
    void ShowMatchCountDialog(const std::function<void(const std::string&)>& count) override;
    void ShowGoToRowDialog(const std::function<bool(const std::string&)>& go) override;
    void ShowHelp(HelpPage command) override;
    bool MoveToTrash(const std::string& path) override;
    void TitleChanged() override;
    void TitleListChanged() override;
    void EditStateChanged() override;
    void ShowFindBar(FindBarFocus focus) override;
    void ShowFilterBar() override;
    void ShowStatusNote(std::string_view note) override;
    std::unique_ptr<ProgressMonitor> StartProgress(std::string_view title,
                                                   ProgressKind kind) override;
    std::optional<ImportSettings> RunImportDialog(const ImportDialogRequest& request) override;
    std::optional<ExportSettings> RunExportDialog(const ExportSettings& offered) override;
    std::optional<std::vector<SortKey>> RunSortDialog(const SortDialogRequest& request) override;
    std::optional<SeparatorChoice> RunSeparatorDialog(const SeparatorRequest& request) override;
    std::optional<DuplicateRowsChoice> RunDuplicateRowsDialog(
        const std::vector<std::string>& itemNames) override;
    PreviewAnswer RunPrintPreview(const PrintJob& job, PrintTarget target) override;
    void PrintPages(const PrintJob& job) override;
    bool WritePdf(const PrintJob& job, const std::string& path) override;
    std::string ClipboardText() override;
    void SetClipboardText(std::string utf8) override;
    std::optional<CompareSettings> RunCompareDialog(const CompareDialogRequest& request) override;
    void ShowCompareWindow(CompareSession* session) override;
    // The compare window, once a comparison has been shown.
    CompareWindow* Compare() const { return compare_.get(); }

private:
    enum class FileDialogKind { Open, Save };
    std::optional<std::string> RunFileDialog(const FileDialogRequest& request, FileDialogKind kind);
    // The window a modal box belongs to: the active window of the program, else the main one.
    QWidget* DialogOwner() const;

    ModalRunner runner_ = RunDialogModally;
    MainWindow* main_ = nullptr;
    TitleListWindow* titleList_ = nullptr;
    AboutBox* about_ = nullptr;
    ItemNameDialog* itemName_ = nullptr;
    MatchCountDialog* matchCount_ = nullptr;
    GoToRowDialog* goToRow_ = nullptr;
    ActivationTracker* tracker_ = nullptr;
    std::unique_ptr<HelpViewer> help_;
    std::unique_ptr<CompareWindow> compare_;
};

}  // namespace qv
