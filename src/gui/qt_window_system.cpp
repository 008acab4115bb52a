#include "gui/qt_window_system.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <exception>
#include <new>

#include "gui/about_box.h"
#include "gui/activation_tracker.h"
#include "gui/help_viewer.h"
#include "gui/item_name_dialog.h"
#include "gui/main_window.h"
#include "gui/match_count_dialog.h"
#include "gui/message_dialog.h"
#include "gui/program_info.h"
#include "gui/progress_dialog.h"
#include "gui/title_list_window.h"
#include "gui/window_placement.h"
#include "platform/failure.h"

namespace qv {

namespace {

// A filter as the file dialog takes it. The dialog shows only the name; the pattern in the last
// parentheses does the filtering, and "*.*" becomes "*" so that it shows every file, names
// without a dot included.
QString NameFilter(const FileFilter& filter) {
    const QString pattern =
        filter.pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(filter.pattern);
    return QString::fromStdString(filter.name) + QStringLiteral(" (") + pattern +
           QStringLiteral(")");
}

}  // namespace

QtWindowSystem::QtWindowSystem() = default;
QtWindowSystem::~QtWindowSystem() = default;

int QtWindowSystem::RunModal(QDialog& dialog) {
    return runner_(dialog);
}

bool QtWindowSystem::RunCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const Failure& failure) {
        ShowFailure(QString::fromStdString(failure.message()));
    } catch (const std::bad_alloc&) {
        ShowFailure(QStringLiteral("メモリが足りません"));
    } catch (const std::exception& error) {
        ShowFailure(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void QtWindowSystem::ShowFailure(const QString& message) {
    std::unique_ptr<MessageDialog> box = MessageDialog::FailureBox(message, DialogOwner());
    RunModal(*box);
}

QWidget* QtWindowSystem::DialogOwner() const {
    QWidget* active = QApplication::activeWindow();
    return active != nullptr ? active : main_;
}

std::optional<std::string> QtWindowSystem::RunOpenDialog(const FileDialogRequest& request) {
    return RunFileDialog(request, FileDialogKind::Open);
}

std::optional<std::string> QtWindowSystem::RunSaveDialog(const FileDialogRequest& request) {
    return RunFileDialog(request, FileDialogKind::Save);
}

std::optional<std::string> QtWindowSystem::RunFileDialog(const FileDialogRequest& request,
                                                         FileDialogKind kind) {
    QFileDialog dialog(DialogOwner(), QString::fromStdString(request.title));
    // Qt's own dialog behaves the same on every desktop, and shows only the filters' names.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // The open dialog accepts a name that does not exist: loading it reports the failure.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(kind == FileDialogKind::Open ? QFileDialog::AcceptOpen
                                                      : QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite,
                     kind == FileDialogKind::Open || !request.confirmOverwrite);

    QStringList filters;
    for (const FileFilter& filter : request.filters) {
        filters << NameFilter(filter);
    }
    dialog.setNameFilters(filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size()) {
        dialog.selectNameFilter(filters[request.selectedFilter]);
    }
    if (!request.fileName.empty()) {
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(request.fileName)));
    }

    if (RunModal(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(chosen.front()).toStdString();
}

MessageButton QtWindowSystem::ShowMessage(std::string_view text, MessageKind kind,
                                          MessageButtons buttons) {
    MessageDialog dialog(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), kind,
                         buttons, DialogOwner());
    const int answer = RunModal(dialog);
    // A dialog that ended without a button counts as closed by its close box.
    return answer == 0 ? MessageButton::Cancel : static_cast<MessageButton>(answer);
}

WindowGeometry QtWindowSystem::MainWindowGeometry() const {
    return OuterGeometry(*main_);
}

void QtWindowSystem::SetMainWindowGeometry(const WindowGeometry& geometry) {
    SetOuterGeometry(*main_, geometry);
}

WindowGeometry QtWindowSystem::TitleListWindowGeometry() const {
    return OuterGeometry(*titleList_);
}

void QtWindowSystem::SetTitleListWindowGeometry(const WindowGeometry& geometry) {
    SetOuterGeometry(*titleList_, geometry);
}

void QtWindowSystem::ShowTitleListWindow() {
    titleList_->setWindowState(titleList_->windowState() & ~Qt::WindowMinimized);
    titleList_->show();
    titleList_->raise();
    titleList_->activateWindow();
}

void QtWindowSystem::HideTitleListWindow() {
    // The system activates another window when the active one goes; it is the main window, as
    // it would be when the user closes the title list window on a desktop that picks the next
    // window of the program.
    const bool wasActive = titleList_->isActiveWindow();
    if (wasActive && tracker_ != nullptr) {
        tracker_->TitleListWindowHiding();
    }
    titleList_->hide();
    if (wasActive && main_->isVisible()) {
        main_->activateWindow();
    }
}

void QtWindowSystem::CloseMainWindow() {
    main_->close();
}

void QtWindowSystem::ShowAboutBox() {
    RunModal(*about_);
}

void QtWindowSystem::ShowItemNameDialog() {
    RunModal(*itemName_);
}

void QtWindowSystem::ShowMatchCountDialog() {
    RunModal(*matchCount_);
}

void QtWindowSystem::ShowHelp(HelpCommand command) {
    if (!help_) {
        help_ = std::make_unique<HelpViewer>(LoadHelpBook(QString::fromUtf8(kHelpFileName)));
    }
    if (command == HelpCommand::Finder) {
        help_->ShowFinder();
    } else {
        help_->ShowContents();
    }
}

bool QtWindowSystem::MoveToTrash(const std::string& path) {
    // Qt follows the freedesktop trash: the file goes to the trash of its own disk, with the
    // record of where it came from that the file managers read to restore it.
    return QFile::moveToTrash(QFile::decodeName(QByteArray::fromStdString(path)));
}

void QtWindowSystem::TitleChanged() {
    main_->ShowTitle();
}

void QtWindowSystem::TitleListChanged() {
    titleList_->ShowTitles();
}

std::unique_ptr<ProgressMonitor> QtWindowSystem::StartProgress(std::string_view title,
                                                               ProgressKind kind) {
    return std::make_unique<ProgressDialog>(DialogOwner(), title, kind);
}

}  // namespace qv
