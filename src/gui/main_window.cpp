#include "gui/main_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "app/main_form.h"
#include "gui/cp932_input.h"
#include "gui/edited_text.h"
#include "gui/grid_view.h"
#include "gui/icons.h"
#include "gui/program_info.h"
#include "gui/qt_window_system.h"

namespace qv {

namespace {

struct SpeedButtonDesign {
    const char* name;
    ToolbarPicture picture;
    const char* hint;
    void (TFormMain::*handler)();
};

// The toolbar, left to right.
const SpeedButtonDesign kSpeedButtons[] = {
    {"SpeedButton4", ToolbarPicture::OpenFolder, "タイトル一覧を表示",
     &TFormMain::SpeedButton4Click},
    {"SpeedButton5", ToolbarPicture::Floppy, "ファイルの上書き保存", &TFormMain::SpeedButton5Click},
    {"SpeedButton7", ToolbarPicture::InsertRow, "現在行の次に行を挿入",
     &TFormMain::SpeedButton7Click},
    {"SpeedButton1", ToolbarPicture::DeleteRow, "現在行の削除", &TFormMain::SpeedButton1Click},
    {"SpeedButton8", ToolbarPicture::Calculator, "計算", &TFormMain::SpeedButton8Click},
    {"SpeedButton2", ToolbarPicture::Help, "使い方，バージョン情報の表示",
     &TFormMain::SpeedButton2Click},
    {"SpeedButton3", ToolbarPicture::ExitDoor, "このプログラムを終了",
     &TFormMain::SpeedButton3Click},
};

constexpr int kToolbarHeight = 49;
constexpr int kSpeedButtonSize = 25;
constexpr int kTitleBoxLeft = 56;
constexpr int kTitleBoxTop = 27;
constexpr int kTitleBoxHeight = 26;
constexpr int kTitleBoxDesignWidth = 201;

constexpr const char* kEndWithoutStoringQuestion =
    "タイトル一覧とウィンドウの位置を保存せずに終了しますか？";

}  // namespace

MainWindow::MainWindow(TFormMain& form, QtWindowSystem& windows, QWidget* parent)
    : QMainWindow(parent), form_(form), windows_(windows) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Quorvane Ver1.00"));
    setWindowIcon(ProgramIcon());
    setFont(DesignFont(kGothicFont, 12));
    // The toolbar's hints show too while the title list window is the active one (at start-up).
    setAttribute(Qt::WA_AlwaysShowToolTips);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    BuildMenus();
    BuildToolbarPanel();
    BuildTablePanel();
    ShowTitle();
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    AddMenuItem(file, "K6", "タイトル一覧(&L)", &TFormMain::K6Click);
    AddMenuItem(file, "Open1", "ファイルを開く(&O)", &TFormMain::Open1Click);
    QMenu* save = file->addMenu(QStringLiteral("保存(&S)"));
    AddMenuItem(save, "KO1", "上書き(&S)", &TFormMain::KO1Click);
    AddMenuItem(save, "K21", "別名保存(&A)", &TFormMain::K21Click);
    file->addSeparator();
    AddMenuItem(file, "Tutorial1", "使い方(&H)", &TFormMain::Tutorial1Click);
    AddMenuItem(file, "KQuorvane1", "Quorvaneについて(&A)", &TFormMain::KQuorvane1Click);
    file->addSeparator();
    AddMenuItem(file, "Exit1", "終了(&X)", &TFormMain::Exit1Click);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    AddMenuItem(edit, "Delete2", "現在行を削除(&D)", &TFormMain::Delete2Click);
    AddMenuItem(edit, "K12", "新しい行を前に挿入(&I)", &TFormMain::K12Click);
    AddMenuItem(edit, "K13", "新しい行を次に挿入(&A)", &TFormMain::K13Click);
    AddMenuItem(edit, "K14", "削除した行を貼り付け(&P)", &TFormMain::K14Click);
    edit->addSeparator();
    AddMenuItem(edit, "K16", "列の追加(&M)", &TFormMain::K16Click);
    AddMenuItem(edit, "K17", "列の削除(&R)", &TFormMain::K17Click);
    edit->addSeparator();
    AddMenuItem(edit, "K22", "全データ消去(&E)", &TFormMain::K22Click);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
    AddMenuItem(tools, "KC1", "計算(&C)", &TFormMain::KC1Click);
    AddMenuItem(tools, "K25", "計数(&N)", &TFormMain::K25Click);
    AddMenuItem(tools, "K19", "項目名設定(&I)", &TFormMain::K19Click);
}

QAction* MainWindow::AddMenuItem(QMenu* menu, const char* name, const char* caption,
                                 Handler handler) {
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromUtf8(name));
    connect(item, &QAction::triggered, this, [this, handler] { RunHandler(handler); });
    menuItems_.push_back(item);
    return item;
}

void MainWindow::RunHandler(Handler handler) {
    windows_.RunCommand([this, handler] { (form_.*handler)(); });
}

void MainWindow::BuildToolbarPanel() {
    auto* panel = new QFrame(centralWidget());
    panel->setObjectName(QStringLiteral("Panel2"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFixedHeight(kToolbarHeight);
    panel2_ = panel;

    int left = 2;
    for (const SpeedButtonDesign& design : kSpeedButtons) {
        auto* button = new QToolButton(panel);
        button->setObjectName(QString::fromUtf8(design.name));
        button->setIcon(ToolbarIcon(design.picture));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(QString::fromUtf8(design.hint));
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(left, 1, kSpeedButtonSize, kSpeedButtonSize);
        const Handler handler = design.handler;
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
    QPalette palette = editTitle_->palette();
    palette.setColor(QPalette::Text, Qt::black);
    editTitle_->setPalette(palette);
    editTitle_->setGeometry(kTitleBoxLeft, kTitleBoxTop, kTitleBoxDesignWidth, kTitleBoxHeight);
    editTitle_->setMaxLength(std::numeric_limits<int>::max());
    editTitle_->setValidator(
        new EditedTextValidator([this] { return form_.EditTitle(); }, editTitle_));
    connect(editTitle_, &QLineEdit::textEdited, this, &MainWindow::TitleEdited);

    centralWidget()->layout()->addWidget(panel);
}

void MainWindow::BuildTablePanel() {
    auto* panel = new QWidget(centralWidget());
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    grid_ = new GridView(form_.StringGrid(), panel);
    grid_->setObjectName(QStringLiteral("StringGrid"));
    layout->addWidget(grid_);
    centralWidget()->layout()->addWidget(panel);
    grid_->setFocus();
}

void MainWindow::ShowTitle() {
    editTitle_->setText(DecodeCp932(form_.EditTitle()));
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
    if (!windows_.RunCommand([this] { form_.FormClose(); }) && !EndWithoutStoringConfirmed()) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    editTitle_->resize(TFormMain::TitleBoxWidth(frameGeometry().width()), kTitleBoxHeight);
}

}  // namespace qv
