#include "app/main_form.h"

#include <memory>
#include <utility>

#include "app/document_change.h"
#include "app/stored_window_geometry.h"
#include "table/main_table_shape.h"

namespace qv {

namespace {

// The hidden one-row grid that keeps a deleted row.
constexpr GridShape kBufferGridShape{2, 1, 0, 0, 48, 10};

constexpr WindowGeometry kMainDesignGeometry{294, 211, 276, 247};
constexpr const char* kSettingsSection = "Main";

}  // namespace

MainForm::MainForm(WindowSystem& windows, StoreLocations stores, std::string decimalSeparator)
    : windows_(windows),
      decimalSeparator_(std::move(decimalSeparator)),
      document_(kMainTableShape, kBufferGridShape),
      input_(document_, &windows),
      files_(document_, windows, std::move(stores)),
      rows_(document_, windows),
      clipboard_(document_, windows),
      search_(document_, windows),
      sorting_(document_, windows),
      lists_(document_, windows),
      interchange_(document_, windows, files_),
      printing_(document_, windows, files_),
      tools_(document_, windows, decimalSeparator_),
      japaneseText_(document_, windows),
      compare_(document_, windows, interchange_),
      filter_(document_, windows) {
    SetMainTableColWidths(document_.UnrecordedTable());
    input_.SetChangeListener([this] { windows_.EditStateChanged(); });
    input_.SetNoticeListener([this](const std::string& note) { windows_.ShowStatusNote(note); });
}

// --- The title ---

void MainForm::SetEditTitle(std::string title) {
    if (title == EditTitle()) {
        return;
    }
    document_.Apply(std::make_unique<TitleChange>(EditTitle(), std::move(title), Table().Current()),
                    TableDocument::Joining::Typing);
    windows_.EditStateChanged();
}

// --- Undo and redo ---

void MainForm::Undo() {
    MoveInHistory(document_, windows_, HistoryMove::Undo);
}

void MainForm::Redo() {
    MoveInHistory(document_, windows_, HistoryMove::Redo);
}

// --- Start-up, activation, close ---

void MainForm::Start() {
    files_.Restart();
    WindowGeometry geometry = kMainDesignGeometry;
    RestoreGeometry(files_.Stores().settingsFile, kSettingsSection, geometry);
    windows_.SetMainWindowGeometry(geometry);
}

void MainForm::Activated() {
    document_.RenumberRows();
    if (files_.Titles().Empty()) {
        files_.LoadTitleList();
    }
    if (files_.FirstActivate()) {
        windows_.ShowTitleListWindow();
        files_.ClearFirstActivate();
    }
}

void MainForm::Closing() {
    files_.SaveTitleList();
    StoreGeometry(files_.Stores().settingsFile, kSettingsSection, windows_.MainWindowGeometry());
    files_.EndRecovery();
}

// --- Commands of the menus and the toolbar ---

void MainForm::ShowTitleList() {
    windows_.ShowTitleListWindow();
}

void MainForm::ShowHelpContents() {
    windows_.ShowHelp(HelpPage::Contents);
}

void MainForm::ShowHelpSearch() {
    windows_.ShowHelp(HelpPage::Search);
}

void MainForm::ShowAbout() {
    windows_.ShowAboutBox();
}

void MainForm::Exit() {
    windows_.CloseMainWindow();
}

void MainForm::CloseTitleListAndExit() {
    if (!files_.AskBeforeClosing()) {
        return;
    }
    if (titleList_ != nullptr) {
        titleList_->Closing();
    }
    windows_.HideTitleListWindow();
    windows_.CloseMainWindow();
}

}  // namespace qv
