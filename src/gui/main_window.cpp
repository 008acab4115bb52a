#include "gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QResizeEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>
#include <map>

#include "app/main_commands.h"
#include "app/main_form.h"
#include "gui/access_key_menu.h"
#include "gui/cp932_input.h"
#include "gui/design_colors.h"
#include "gui/edited_text.h"
#include "gui/filter_bar.h"
#include "gui/find_bar.h"
#include "gui/grid_view.h"
#include "gui/icons.h"
#include "gui/main_status_bar.h"
#include "gui/program_info.h"
#include "gui/qt_window_system.h"

namespace qv {

namespace {

constexpr int kToolbarHeight = 49;
constexpr int kSpeedButtonSize = 25;
constexpr int kTitleBoxLeft = 56;
constexpr int kTitleBoxTop = 27;
constexpr int kTitleBoxHeight = 26;
constexpr int kTitleBoxDesignWidth = 201;

constexpr const char* kEndWithoutStoringQuestion =
    "タイトル一覧とウィンドウの位置を保存せずに終了しますか？";

}  // namespace

MainWindow::MainWindow(MainForm& form, QtWindowSystem& windows, QWidget* parent)
    : QMainWindow(parent), form_(form), windows_(windows) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Quorvane Ver1.00"));
    setWindowIcon(ProgramIcon());
    setFont(DesignFont(kGothicFont, 12));
    // The toolbar's hints show too while the title list window is the active one (at start-up).
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setAcceptDrops(true);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    BuildMenus();
    BuildToolbarPanel();
    BuildTablePanel();
    findBar_ = new FindBar(form_, windows_, grid_, centralWidget());
    centralWidget()->layout()->addWidget(findBar_);
    filterBar_ = new FilterBar(form_, grid_, centralWidget());
    // Above the grid, below the toolbar panel.
    static_cast<QVBoxLayout*>(centralWidget()->layout())->insertWidget(1, filterBar_);
    statusBar_ = new MainStatusBar(this);
    setStatusBar(statusBar_);
    connect(statusBar_, &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty()) {
            statusBar_->setToolTip({});
        }
    });
    statusTimer_ = new QTimer(this);
    statusTimer_->setSingleShot(true);
    statusTimer_->setInterval(0);
    connect(statusTimer_, &QTimer::timeout, this, &MainWindow::ShowStatus);
    form_.Table().AddObserver(this);
    ShowTitle();
    ShowEditState();
    ShowStatus();
}

MainWindow::~MainWindow() {
    form_.Tools().StopSelectionText();
    form_.Table().RemoveObserver(this);
}

void MainWindow::CellChanged(int32_t col, int32_t row) {
    const bool inFigures = figuresRange_ && col >= figuresRange_->first.col &&
                           col <= figuresRange_->last.col && row >= figuresRange_->first.row &&
                           row <= figuresRange_->last.row;
    StatusChanged(inFigures ? Figures::Stale : Figures::Kept);
}

void MainWindow::ShowFindBar(FindBarFocus focus) {
    findBar_->Open(focus);
    // The bar takes its room from the grid now, not once the layout gets to it, so that the
    // current cell can be kept in sight.
    centralWidget()->layout()->activate();
    grid_->showCurrentCell();
}

void MainWindow::ShowFilterBar() {
    filterBar_->Open();
    centralWidget()->layout()->activate();
    grid_->showCurrentCell();
}

void MainWindow::ShowStatusNote(const QString& note, const QString& whole) {
    constexpr int kNoteMs = 10'000;
    statusBar_->showMessage(note, kNoteMs);
    statusBar_->setToolTip(whole.isEmpty() ? note : whole);
}

void MainWindow::StatusChanged(Figures figures) {
    figuresStale_ = figuresStale_ || figures == Figures::Stale;
    if (!statusTimer_->isActive()) {  // a load or a replace may write a million cells
        statusTimer_->start();
    }
}

void MainWindow::ShowStatus() {
    const TableGrid& grid = form_.Table();
    statusBar_->SetField(MainStatusBar::Field::Filter,
                         QString::fromStdString(form_.Filter().StatusText()));
    statusBar_->SetField(MainStatusBar::Field::Position,
                         QString::fromStdString(PositionStatusText(grid)));
    const SelectedBlock range = SelectedRange(grid);
    if (!figuresStale_ && figuresRange_ == range) {
        return;
    }
    form_.Tools().ShowSelectionText([this](const std::string& text) {
        statusBar_->SetField(MainStatusBar::Field::Selection, QString::fromStdString(text));
    });
    figuresRange_ = range;
    figuresStale_ = false;
}

void MainWindow::BuildMenus() {
    // Each menu is made where its first item or separator stands in the table.
    std::map<QStringList, QMenu*> menus;
    const auto menuAt = [this, &menus](const QStringList& path) {
        QMenu* menu = nullptr;
        for (qsizetype depth = 1; depth <= path.size(); ++depth) {
            QMenu*& made = menus[path.first(depth)];
            if (made == nullptr) {
                const QString& caption = path[depth - 1];
                made = new AccessKeyMenu(caption, this);
                if (menu == nullptr) {
                    menuBar()->addMenu(made);
                } else {
                    menu->addMenu(made);
                }
            }
            menu = made;
        }
        return menu;
    };
    for (const MainCommand& command : MainCommands()) {
        const QStringList path = QString::fromUtf8(command.text).split(QStringLiteral(" > "));
        if (command.place == CommandPlace::MenuSeparator) {
            menuAt(path)->addSeparator();
        } else if (command.place == CommandPlace::MenuItem) {
            QAction* item = AddMenuItem(menuAt(path.first(path.size() - 1)), command.component,
                                        path.last(), command.run);
            if (*command.shortcuts != '\0') {
                item->setShortcuts(
                    QKeySequence::listFromString(QString::fromUtf8(command.shortcuts)));
            }
            if (command.enabled != nullptr) {
                itemsAvailableAtTimes_.emplace_back(item, command.enabled);
            }
            if (command.checked != nullptr) {
                item->setCheckable(true);
                itemsCheckedAtTimes_.emplace_back(item, command.checked);
            }
        }
    }
}

QAction* MainWindow::AddMenuItem(QMenu* menu, const char* name, const QString& caption,
                                 Handler handler) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromUtf8(name));
    connect(item, &QAction::triggered, this, [this, handler] { RunHandler(handler); });
    menuItems_.push_back(item);
    return item;
}

void MainWindow::RunHandler(Handler handler) {
    windows_.RunChosenCommand([this, handler] { handler(form_); });
}

void MainWindow::BuildToolbarPanel() {
    auto* panel = new QFrame(centralWidget());
    panel->setObjectName(QStringLiteral("Panel2"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFixedHeight(kToolbarHeight);
    panel2_ = panel;

    int left = 2;
    for (const MainCommand& command : MainCommands()) {
        if (command.place != CommandPlace::ToolbarButton) {
            continue;
        }
        auto* button = new QToolButton(panel);
        button->setObjectName(QString::fromUtf8(command.component));
        button->setIcon(ToolbarIcon(command.picture));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(QString::fromUtf8(command.text));
        button->setAccessibleName(button->toolTip());  // a picture alone says nothing to a reader
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(left, 1, kSpeedButtonSize, kSpeedButtonSize);
        const Handler handler = command.run;
        connect(button, &QToolButton::clicked, this, [this, handler] { RunHandler(handler); });
        speedButtons_.push_back(button);
        left += kSpeedButtonSize;
    }

    label1_ = new QLabel(QStringLiteral("タイトル"), panel);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->move(4, 32);
    label1_->adjustSize();

    editTitle_ = new QLineEdit(panel);
    editTitle_->setObjectName(QStringLiteral("EditTitle"));
    editTitle_->setFont(DesignFont(kSystemFont, 19));
    KeepDesignTextColour(*editTitle_, QPalette::Text);
    editTitle_->setGeometry(kTitleBoxLeft, kTitleBoxTop, kTitleBoxDesignWidth, kTitleBoxHeight);
    editTitle_->setMaxLength(std::numeric_limits<int>::max());
    // A file dropped on the title opens, as anywhere else on the window, rather than typing its
    // name into the title.
    editTitle_->setAcceptDrops(false);
    // A title is one line: line breaks pasted into it become spaces.
    auto* titleValidator = new EditedTextValidator([this] { return form_.EditTitle(); }, editTitle_,
                                                   LineBreaks::Spaces);
    titleValidator->setRefusalHandler(
        [this](char32_t character) { ShowRefusedCharacter(character); });
    editTitle_->setValidator(titleValidator);
    connect(editTitle_, &QLineEdit::textEdited, this, &MainWindow::TitleEdited);
    // Typing the title is one step of the undo history until the box loses the focus.
    connect(editTitle_, &QLineEdit::editingFinished, this, [this] { form_.EndTitleEdit(); });

    centralWidget()->layout()->addWidget(panel);
}

void MainWindow::BuildTablePanel() {
    auto* panel = new QWidget(centralWidget());
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    grid_ = new GridView(form_.Input(), panel);
    grid_->setObjectName(QStringLiteral("Table"));
    grid_->setModalRunner([this](QDialog& dialog) { return windows_.RunModal(dialog); });
    layout->addWidget(grid_);
    centralWidget()->layout()->addWidget(panel);
    grid_->setFocus();
    // Typing into a cell is a command the user chose: the notice of what went before goes.
    connect(grid_, &GridView::editingStarted, this, [this] { windows_.RunChosenCommand([] {}); });
    connect(grid_, &GridView::characterRefused, this, &MainWindow::ShowRefusedCharacter);
}

void MainWindow::ShowTitle() {
    editTitle_->setText(DecodeCp932(form_.EditTitle()));
}

void MainWindow::ShowEditState() {
    statusBar_->ShowModified(form_.IsModified());
    for (const auto& [item, available] : itemsAvailableAtTimes_) {
        item->setEnabled(available(form_));
    }
    for (const auto& [item, checked] : itemsCheckedAtTimes_) {
        item->setChecked(checked(form_));
    }
    StatusChanged(Figures::Kept);  // the filter's count of shown rows
}

void MainWindow::ShowRefusedCharacter(char32_t character) {
    ShowStatusNote(RefusedCharacterNotice(character), RefusedCharacterReason(character));
    QApplication::beep();
}

void MainWindow::TitleEdited(const QString& text) {
    if (std::optional<std::string> title = EncodeEditedText(form_.EditTitle(), text)) {
        form_.SetEditTitle(std::move(*title));
    } else {
        ShowTitle();
    }
}

// After the failure of storing the title list or the window's place has been shown, the user
// may still end the program: a store file that cannot be written must not keep it open for good.
bool MainWindow::EndWithoutStoringConfirmed() {
    return windows_.ShowMessage(kEndWithoutStoringQuestion, MessageKind::Confirmation,
                                MessageButton::Yes | MessageButton::No) == MessageButton::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Unsaved changes are saved or dropped at the user's word before anything closes.
    bool goOn = false;
    if (!windows_.RunCommand([this, &goOn] { goOn = form_.Files().AskBeforeClosing(); }) || !goOn) {
        event->ignore();
        return;
    }
    if (!windows_.RunCommand([this] { form_.Closing(); }) && !EndWithoutStoringConfirmed()) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

namespace {

// The one local file a drag carries, as the file system spells its path; empty for anything else.
std::string DroppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>();
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        return {};
    }
    return QFile::encodeName(urls.front().toLocalFile()).toStdString();
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::string path = DroppedFile(event->mimeData());
    if (path.empty()) {
        return;
    }
    event->acceptProposedAction();
    // Once the drop is over: the dragging program waits for it while the questions are open.
    QTimer::singleShot(0, this, [this, path] {
        windows_.RunCommand([this, &path] { form_.Interchange().OpenFile(path); });
    });
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    editTitle_->resize(MainForm::TitleBoxWidth(frameGeometry().width()), kTitleBoxHeight);
}

}  // namespace qv
