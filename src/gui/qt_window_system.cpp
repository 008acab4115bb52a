#include "gui/qt_window_system.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QSplitter>
#include <QStringList>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

#include "gui/about_box.h"
#include "gui/activation_tracker.h"
#include "gui/compare_dialog.h"
#include "gui/compare_window.h"
#include "gui/duplicate_rows_dialog.h"
#include "gui/export_dialog.h"
#include "gui/go_to_row_dialog.h"
#include "gui/help_viewer.h"
#include "gui/import_dialog.h"
#include "gui/item_name_dialog.h"
#include "gui/main_window.h"
#include "gui/match_count_dialog.h"
#include "gui/message_dialog.h"
#include "gui/program_application.h"
#include "gui/program_info.h"
#include "gui/progress_dialog.h"
#include "gui/separator_dialog.h"
#include "gui/sort_dialog.h"
#include "gui/title_list_window.h"
#include "gui/window_placement.h"
#include "platform/failure.h"
#include "platform/files.h"

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

// Qt's own file dialog, wide enough for its columns; each column as wide as its longest text
// (the view scrolls sideways rather than cut a name), the places beside it wide enough for theirs.
void ShapeQtFileDialog(QFileDialog& dialog) {
    dialog.setViewMode(QFileDialog::Detail);
    const QFontMetrics metrics(dialog.font());
    dialog.resize(std::max(dialog.width(), metrics.averageCharWidth() * 120),
                  std::max(dialog.height(), metrics.height() * 30));
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        view->header()->setStretchLastSection(false);  // it would get only what is left
        view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    }
    auto* places = dialog.findChild<QAbstractItemView*>(QStringLiteral("sidebar"));
    auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
    if (places != nullptr && splitter != nullptr && splitter->count() == 2) {
        const int wanted = places->sizeHintForColumn(0) + 2 * places->frameWidth() +
                           places->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                           metrics.averageCharWidth() * 2;
        splitter->setSizes({wanted, dialog.width() - wanted});
    }
}

// A name the file dialogs cannot give back byte for byte.
constexpr char kUnrepresentableNameMessage[] =
    "このファイル名は文字を正しく表示できないため、ここでは使えません";

// The path the user chose, as the file system's bytes. Qt shows a name that is not valid UTF-8
// with U+FFFD in place of the bad bytes and cannot turn it back; so the offered name, and any
// name in the offered name's folder, get the offered bytes back, and another name showing U+FFFD
// is refused rather than turned into a different file.
std::string ChosenPath(const std::string& offered, const QString& chosen) {
    const QChar replacement(0xFFFD);
    if (!offered.empty() && chosen == QFile::decodeName(QByteArray::fromStdString(offered))) {
        return offered;
    }
    if (const std::string::size_type slash = offered.find_last_of('/');
        slash != std::string::npos) {
        const std::string folder = offered.substr(0, slash + 1);
        const QString shownFolder = QFile::decodeName(QByteArray::fromStdString(folder));
        const QString name = chosen.mid(shownFolder.size());
        if (chosen.startsWith(shownFolder) && !name.contains(replacement)) {
            return folder + QFile::encodeName(name).toStdString();
        }
    }
    if (chosen.contains(replacement)) {
        throw Failure(kUnrepresentableNameMessage);
    }
    return QFile::encodeName(chosen).toStdString();
}

// Gives the activation back, once a modal window has closed, to the window it was opened over:
// a desktop may pick another window of the program (the title list window behind the main
// window), and without a window manager none is picked at all.
class ActivationReturn {
public:
    explicit ActivationReturn(QWidget* owner) : owner_(owner) {}
    ~ActivationReturn() {
        if (owner_ != nullptr && owner_->isVisible() && !owner_->isActiveWindow()) {
            owner_->activateWindow();
        }
    }
    ActivationReturn(const ActivationReturn&) = delete;
    ActivationReturn& operator=(const ActivationReturn&) = delete;

private:
    QPointer<QWidget> owner_;
};

// A progress dialog that, once it has closed, gives the activation back as a modal window does.
class ReturningProgress final : public ProgressMonitor {
public:
    ReturningProgress(QWidget* owner, std::string_view title, ProgressKind kind)
        : return_(owner), dialog_(owner, title, kind) {}
    bool Advance(uint64_t done, uint64_t total) override { return dialog_.Advance(done, total); }

private:
    ActivationReturn return_;  // destroyed last, after the dialog has gone
    ProgressDialog dialog_;
};

}  // namespace

QtWindowSystem::QtWindowSystem() = default;
QtWindowSystem::~QtWindowSystem() = default;

int QtWindowSystem::RunModal(QDialog& dialog) {
    const ActivationReturn back(DialogOwner());
    return runner_(dialog);
}

bool QtWindowSystem::RunChosenCommand(const std::function<void()>& command) {
    if (main_ != nullptr) {
        main_->ShowStatusNote({});
    }
    return RunCommand(command);
}

bool QtWindowSystem::RunCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (...) {
        ShowFailure(FailureMessage(std::current_exception()));
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
    // The desktop's own dialog (its portal or platform theme) where it offers one, Qt's otherwise;
    // Qt's shows only the filters' names.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    ShapeQtFileDialog(dialog);
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
    std::string path = ChosenPath(request.fileName, chosen.front());
    // The dialog looked for the file under the name it shows, which is not this one.
    if (kind == FileDialogKind::Save && request.confirmOverwrite &&
        path != QFile::encodeName(chosen.front()).toStdString() && IsExistingFile(path)) {
        const std::string question =
            chosen.front().toStdString() + " は既に存在します。\n上書きしますか？";
        if (ShowMessage(question, MessageKind::Confirmation,
                        MessageButton::Yes | MessageButton::No) != MessageButton::Yes) {
            return std::nullopt;
        }
    }
    return path;
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

void QtWindowSystem::PostToWindowThread(std::function<void()> task) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

std::optional<std::string> QtWindowSystem::AskItemName(const std::string& shown) {
    itemName_->Fill(shown);
    if (RunModal(*itemName_) != QDialog::Accepted) {
        return std::nullopt;
    }
    return itemName_->ConfirmedName();
}

void QtWindowSystem::ShowMatchCountDialog(const std::function<void(const std::string&)>& count) {
    matchCount_->SetCounter(count);
    RunModal(*matchCount_);
    matchCount_->SetCounter({});
}

void QtWindowSystem::ShowGoToRowDialog(const std::function<bool(const std::string&)>& go) {
    goToRow_->SetMover(go);
    RunModal(*goToRow_);
    goToRow_->SetMover({});
}

void QtWindowSystem::ShowHelp(HelpPage command) {
    if (!help_) {
        help_ = std::make_unique<HelpViewer>(LoadHelpBook(QString::fromUtf8(kHelpFileName)));
    }
    if (command == HelpPage::Search) {
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

void QtWindowSystem::EditStateChanged() {
    if (main_ != nullptr) {
        main_->ShowEditState();
    }
}

std::string QtWindowSystem::ClipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}

void QtWindowSystem::SetClipboardText(std::string utf8) {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

void QtWindowSystem::ShowFindBar(FindBarFocus focus) {
    main_->ShowFindBar(focus);
}

void QtWindowSystem::ShowFilterBar() {
    main_->ShowFilterBar();
}

void QtWindowSystem::ShowStatusNote(std::string_view note) {
    main_->ShowStatusNote(QString::fromUtf8(note.data(), static_cast<qsizetype>(note.size())));
}

void QtWindowSystem::TitleListChanged() {
    titleList_->ShowTitles();
}

std::unique_ptr<ProgressMonitor> QtWindowSystem::StartProgress(std::string_view title,
                                                               ProgressKind kind) {
    return std::make_unique<ReturningProgress>(DialogOwner(), title, kind);
}

std::optional<ImportSettings> QtWindowSystem::RunImportDialog(const ImportDialogRequest& request) {
    ImportDialog dialog(request, DialogOwner());
    if (RunModal(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Settings();
}

std::optional<CompareSettings> QtWindowSystem::RunCompareDialog(
    const CompareDialogRequest& request) {
    CompareDialog dialog(request, DialogOwner());
    if (RunModal(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Settings();
}

void QtWindowSystem::ShowCompareWindow(CompareSession* session) {
    if (session == nullptr) {
        if (compare_) {
            compare_->SetSession(nullptr);
        }
        return;
    }
    if (!compare_) {
        compare_ = std::make_unique<CompareWindow>(*this);
    }
    compare_->SetSession(session);
    compare_->show();
    compare_->raise();
    compare_->activateWindow();
}

std::optional<ExportSettings> QtWindowSystem::RunExportDialog(const ExportSettings& offered) {
    ExportDialog dialog(offered, DialogOwner());
    if (RunModal(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Settings();
}

std::optional<std::vector<SortKey>> QtWindowSystem::RunSortDialog(
    const SortDialogRequest& request) {
    SortDialog dialog(request, DialogOwner());
    if (RunModal(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Keys();
}

std::optional<SeparatorChoice> QtWindowSystem::RunSeparatorDialog(const SeparatorRequest& request) {
    SeparatorDialog dialog(request, DialogOwner());
    if (RunModal(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

std::optional<DuplicateRowsChoice> QtWindowSystem::RunDuplicateRowsDialog(
    const std::vector<std::string>& itemNames) {
    DuplicateRowsDialog dialog(itemNames, DialogOwner());
    if (RunModal(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

}  // namespace qv
