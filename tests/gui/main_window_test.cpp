// The main window's menus and toolbar, that every menu item and toolbar button reaches its
// command, and the help they open; the dialogs and message boxes it opens. Menus are driven by the
// keyboard (Alt and the access letters), buttons by the mouse; modal windows are answered by a
// scripted user.

#include <QComboBox>
#include <QInputMethodEvent>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/print_choices_file.h"
#include "app/status_texts.h"
#include "gui/about_box.h"
#include "gui/compare_window.h"
#include "gui/filter_bar.h"
#include "gui/find_bar.h"
#include "gui/grid_view.h"
#include "gui/help_viewer.h"
#include "gui/item_name_dialog.h"
#include "gui/main_status_bar.h"
#include "gui/match_count_dialog.h"
#include "gui/print_preview_dialog.h"
#include "gui_test_support.h"
#include "platform/failure.h"
#include "table_file_examples.h"

namespace qv {

namespace {

using test::Program;

// Every caption under the menu, a submenu's right after its own; "-" for a separator.
QStringList Captions(const QList<QAction*>& actions) {
    QStringList captions;
    for (const QAction* action : actions) {
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (action->menu() != nullptr) {
            captions << Captions(action->menu()->actions());
        }
    }
    return captions;
}

// A command as the user reaches it: by the access letters of a menu and its items, else by the
// toolbar button of that index; and what shows that it ran: the modal window it opens (the user
// leaves it with Esc), else the Outcome.
struct Command {
    const char* name;
    const char* keys;
    int button;
    const char* modal;
    const char* outcome;
};

// Column 1 of rows 1 to 3, the deleted-row buffer ("a/b/ p" before each command, whose current
// cell is in row 1) and the column count; then "list" when the title list window is active,
// "contents" or "finder" as the help shows, "closed" when the main window is, "hidden" when
// the title list window is.
std::string Outcome(Program& p) {
    const TableGrid& grid = p.Grid();
    const HelpViewer* help = p.app.Windows().Help();
    std::string outcome = grid.CellText(1, 1) + "/" + grid.CellText(1, 2) + "/" +
                          grid.CellText(1, 3) + " " + p.Form().DeletedRowBuffer().CellText(1, 0) +
                          " " + std::to_string(grid.ColCount());
    if (help != nullptr && help->isVisible()) {
        outcome += help->Finder()->isVisible()                              ? " finder"
                   : help->CurrentTopic() == help->Book().topics.front().id ? " contents"
                                                                            : " help";
    }
    return outcome + (p.app.TitleList().isActiveWindow() ? " list" : "") +
           (p.app.Main().isVisible() ? "" : " closed") +
           (p.app.TitleList().isVisible() ? "" : " hidden");
}

constexpr MessageButtons kAllButtons = 0x1FF;

QStringList Captions(const MessageDialog& dialog) {
    QStringList captions;
    for (const QPushButton* button : dialog.ButtonRow()) {
        captions << button->text();
    }
    return captions;
}

const Command kCommands[] = {
    {"タイトル一覧", "FL", 0, nullptr, "a/b/ p 3 list"},
    {"ファイルを開く", "FO", 0, "データの読み込み", nullptr},
    {"上書き, no file yet", "FSS", 0, "データの保存", nullptr},
    {"別名保存", "FSA", 0, "データの保存", nullptr},
    {"使い方", "FH", 0, nullptr, "a/b/ p 3 contents"},
    {"Quorvaneについて", "FA", 0, "ﾊﾞｰｼﾞｮﾝ情報", nullptr},
    {"CSV/TSVの読み込み", "FI", 0, "CSV/TSVの読み込み", nullptr},
    {"CSV/TSVへの書き出し", "FE", 0, "CSV/TSVへの書き出し", nullptr},
    {"印刷", "FP", 0, "印刷プレビュー", nullptr},
    {"PDFへの書き出し", "FD", 0, "PDFへの書き出し", nullptr},
    {"終了", "FX", 0, nullptr, "a/b/ p 3 closed"},
    {"現在行を削除", "ED", 0, nullptr, "b// a 3"},
    {"新しい行を前に挿入", "EI", 0, nullptr, "/a/b p 3"},
    {"新しい行を次に挿入", "EA", 0, nullptr, "a//b p 3"},
    {"削除した行を貼り付け", "EP", 0, nullptr, "p/b/ p 3"},
    {"列の追加", "EM", 0, nullptr, "a/b/ p 4"},
    {"列の削除", "ER", 0, nullptr, "a/b/ p 2"},
    {"全データ消去", "EE", 0, "確認", nullptr},
    {"行へ移動", "EG", 0, "行へ移動", nullptr},
    {"計算", "TC", 0, "情報", nullptr},
    {"計数", "TN", 0, "検索", nullptr},
    {"項目名設定", "TI", 0, "項目名入力", nullptr},
    {"並べ替え", "DO", 0, "並べ替え", nullptr},
    {"重複行の削除", "DU", 0, "重複行の削除", nullptr},
    {"列の分割", "DS", 0, "列の分割", nullptr},
    {"button タイトル一覧を表示", "", 0, nullptr, "a/b/ p 3 list"},
    {"button ファイルの上書き保存", "", 1, "データの保存", nullptr},
    {"button 現在行の次に行を挿入", "", 2, nullptr, "a//b p 3"},
    {"button 現在行の削除", "", 3, nullptr, "b// a 3"},
    {"button 計算", "", 4, "情報", nullptr},
    {"button 使い方", "", 5, nullptr, "a/b/ p 3 finder"},
    {"button 終了", "", 6, nullptr, "a/b/ p 3 closed hidden"},
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }
    void init() {
        stores_.emplace();
        p_.emplace(stores_->Stores());
        p_->Start();
    }
    void cleanup() {
        p_.reset();
        stores_.reset();
    }

    // The menus and their shortcuts, the toolbar's hints and pictures (drawn from their SVGs at
    // the size asked, as a dense screen asks for them, not enlarged from a smaller bitmap; the
    // disabled state has its own), and the title box's width in a resized window.
    void menusToolbarAndTitleBox() {
        QCOMPARE(
            Captions(p_->app.Main().menuBar()->actions()).join('|'),
            QString::fromUtf8("ファイル(&F)|タイトル一覧(&L)|ファイルを開く(&O)|保存(&S)|"
                              "上書き(&S)|別名保存(&A)|-|使い方(&H)|Quorvaneについて(&A)|-|"
                              "CSV/TSVの読み込み(&I)|CSV/TSVへの書き出し(&E)|印刷(&P)...|"
                              "PDFへの書き出し(&D)...|-|"
                              "終了(&X)|編集(&E)|現在行を削除(&D)|新しい行を前に挿入(&I)|"
                              "新しい行を次に挿入(&A)|削除した行を貼り付け(&P)|-|列の追加(&M)|"
                              "列の削除(&R)|-|全データ消去(&E)|-|元に戻す(&U)|やり直し(&Y)|"
                              "切り取り(&T)|コピー(&C)|貼り付け(&V)|消去(&L)|-|行へ移動(&G)|-|"
                              "検索(&F)|次を検索(&N)|前を検索(&B)|置換(&H)|-|下方向へコピー(&D)|"
                              "ツール(&T)|計算(&C)|計数(&N)|項目名設定(&I)|-|"
                              "昇順に並べ替え(&A)|降順に並べ替え(&D)|データ(&D)|"
                              "フィルター(&F)...|フィルターの解除(&C)|-|"
                              "重複行の削除(&U)...|列の分割(&S)...|列の結合(&J)...|"
                              "列幅の自動調整(&W)|並べ替え(&O)...|-|"
                              "文字種の変換(&K)|全角英数字→半角|半角英数字→全角|"
                              "半角カナ→全角カナ|カタカナ→ひらがな|ひらがな→カタカナ|"
                              "前後の空白を削除|ふりがな列の作成(&K)|-|表の比較(&M)..."));
        // The designed items have no shortcut and are always enabled; undo, redo, go to row, the
        // clipboard's items and find are added.
        const std::vector<QAction*>& items = p_->app.Main().MenuItems();
        QCOMPARE(items.size(), std::size_t{50});
        QStringList shortcuts;
        for (const QAction* item : items) {
            const QString name = item->objectName();
            QCOMPARE(item->isEnabled(), !name.startsWith("Undo") && !name.startsWith("Redo"));
            if (!item->shortcuts().isEmpty()) {
                shortcuts << name + " " + QKeySequence::listToString(item->shortcuts());
            }
        }
        QCOMPARE(
            shortcuts.join('|'),
            QStringLiteral(
                "Print1 Ctrl+P|Undo1 Ctrl+Z|Redo1 Ctrl+Y; Ctrl+Shift+Z|Cut1 Ctrl+X|Copy1 Ctrl+C|"
                "Paste1 Ctrl+V|Clear1 Del|GoToRow1 Ctrl+G|Find1 Ctrl+F|FindNext1 F3|"
                "FindPrevious1 Shift+F3|Replace1 Ctrl+H|FillDown1 Ctrl+D|Filter1 Ctrl+Shift+L"));
        const QStringList hints =
            QString::fromUtf8(
                "タイトル一覧を表示|ファイルの上書き保存|現在行の次に行を挿入|"
                "現在行の削除|計算|使い方，バージョン情報の表示|このプログラムを終了")
                .split('|');
        QStringList shown;
        for (const QToolButton* button : p_->app.Main().SpeedButtons()) {
            shown << (button->isEnabled() ? button->toolTip() : QString());
        }
        QCOMPARE(shown, hints);
        // The title list window opened by itself is active: the hints show all the same.
        QVERIFY(p_->app.TitleList().isActiveWindow());
        QTest::mouseMove(p_->app.Main().SpeedButtons()[1]);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), hints[1]);
        std::vector<QIcon> icons{p_->app.Main().windowIcon()};
        for (const QToolButton* button : p_->app.Main().SpeedButtons()) {
            icons.push_back(button->icon());
        }
        for (const QIcon& icon : icons) {
            QCOMPARE(icon.pixmap(QSize(64, 64)).size(), QSize(64, 64));
            QVERIFY(!icon.pixmap(QSize(40, 40), QIcon::Disabled).isNull());
        }
        p_->app.Windows().SetMainWindowGeometry({100, 80, 500, 400});  // outer sizes
        QCOMPARE(p_->app.Main().frameGeometry(), QRect(100, 80, 500, 400));
        QCOMPARE(p_->app.Main().EditTitle()->width(), 435);
    }

    void everyMenuItemAndButtonReachesItsCommand_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < std::size(kCommands); ++i) {
            QTest::newRow(kCommands[i].name) << int(i);
        }
    }
    void everyMenuItemAndButtonReachesItsCommand() {
        QFETCH(int, index);
        const Command& command = kCommands[index];
        p_->Grid().SetCell(1, 1, "a");
        p_->Grid().SetCell(1, 2, "b");
        p_->Grid().SetCell(1, 900, "p");  // a row deleted long ago
        p_->Form().Document().KeepDeletedRow(900);
        p_->Grid().SetCell(1, 900, "");
        if (command.modal != nullptr) {
            p_->user.Then(test::Press(Qt::Key_Escape));
        }
        ActivateMain();  // the title list window, active at first, must become so again
        if (*command.keys == '\0') {
            QTest::mouseClick(p_->app.Main().SpeedButtons()[command.button], Qt::LeftButton);
        } else {
            ChooseMenuItem(command.keys);
        }
        if (command.modal != nullptr) {
            QCOMPARE(p_->user.seen.size(), std::size_t{1});
            QCOMPARE(p_->user.seen[0].title, QString::fromUtf8(command.modal));
        } else {
            QTRY_COMPARE(QString::fromStdString(Outcome(*p_)), QString::fromUtf8(command.outcome));
        }
    }

    // The help file is found (one that cannot be read gives a book of one page); the finder
    // opens ready for a word and shows the first topic found; Esc closes the help window.
    void helpFinderSearchesTheHelpFile() {
        ActivateMain();
        QTest::mouseClick(p_->app.Main().SpeedButtons()[5], Qt::LeftButton);
        HelpViewer* help = p_->app.Windows().Help();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QCOMPARE(QApplication::focusWidget(), help->SearchField());
        const int topics = help->TopicList()->count();
        QVERIFY(topics > 10);
        QTest::sendKeyEvent(QTest::Click, help->SearchField(), Qt::Key_unknown,
                            QStringLiteral("全データ消去"), Qt::NoModifier);
        QVERIFY(help->TopicList()->count() > 0 && help->TopicList()->count() < topics);
        QTest::keyClick(help->SearchField(), Qt::Key_Return);
        QVERIFY(help->Page()->toPlainText().contains(QStringLiteral("全データ消去")));
        QTest::keyClick(help->SearchField(), Qt::Key_Escape);
        QVERIFY(!help->isVisible());
    }

    // The match count's dialog and its answer, run as the program runs them and left with Enter:
    // the keys reach the main window again, whether the title list window is open or hidden.
    void closingModalWindowsReturnsToTheMainWindow() {
        int shown = 0;
        p_->app.Windows().SetModalRunner([&shown](QDialog& dialog) {
            ++shown;
            QTimer::singleShot(0, &dialog, [&dialog] {
                QTest::keyClick(dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog,
                                Qt::Key_Return);
            });
            return dialog.exec();
        });
        for (const bool titleListHidden : {true, false}) {
            titleListHidden ? p_->app.Windows().HideTitleListWindow()
                            : p_->app.Windows().ShowTitleListWindow();
            ChooseMenuItem("TN");
            QCOMPARE(shown, titleListHidden ? 2 : 4);
            QTRY_VERIFY(p_->app.Main().isActiveWindow());
            QCOMPARE(p_->app.TitleList().isVisible(), !titleListHidden);
            QTest::keyClick(&p_->app.Main(), Qt::Key_T, Qt::AltModifier);
            QVERIFY(QApplication::activePopupWidget() != nullptr);
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        }
    }

    // A name that is not valid UTF-8 (CP932 bytes) comes back from the save dialog byte for byte,
    // also with a new name in its folder; a name the dialog can only show with U+FFFD is refused.
    void namesThatAreNotUtf8RoundTripThroughTheSaveDialog() {
        const std::string folder = *stores_ / "";
        const std::string sjis = folder + "\x82\xA0\x82\xA2.qvd", sub = folder + "\x82\xA0/";
        QVERIFY(std::filesystem::create_directory(sub));
        std::ofstream(sjis) << "old";
        const auto acceptAsOffered = [](QDialog& dialog) {
            static_cast<QDialog&>(static_cast<QFileDialog&>(dialog)).accept();
            return dialog.result();
        };
        p_->Form().Files().SetSaveDialogFileName(sjis);
        p_->user.Then(acceptAsOffered).Then(test::Press(Qt::Key_Return));  // Yes, replace it
        ChooseMenuItem("FSA");
        QCOMPARE(p_->user.seen.at(1).text,
                 QFile::decodeName(sjis.c_str()) +
                     QStringLiteral(" は既に存在します。\n上書きしますか？"));
        QVERIFY(test::ReadTestFile(sjis).starts_with("Quorvane"));
        p_->Form().Files().SetSaveDialogFileName(sub + "a.qvd");
        p_->user.Then(test::ChooseFile(
            QFile::encodeName(QFile::decodeName(sub.c_str()) + "b.qvd").toStdString()));
        ChooseMenuItem("FSA");
        QCOMPARE(p_->Form().CurFileName(), sub + "b.qvd");
        QVERIFY(test::ReadTestFile(sub + "b.qvd").starts_with("Quorvane"));
        QCOMPARE(test::TempFolderListing(folder), std::string("\x82\xA0;\x82\xA0\x82\xA2.qvd;"));
        p_->Form().Files().SetSaveDialogFileName("");
        p_->user.Then(test::ChooseFile(sub + "b.qvd"));
        QVERIFY_THROWS_EXCEPTION(Failure, p_->Form().Files().SaveFileAs());
    }

    // Typing in a cell is one step that Ctrl+Z takes back and Ctrl+Y makes again, even with the
    // editor open; Esc puts back the text the cell had when the editor opened. The status bar
    // shows the modified mark, and closing with changes asks first.
    void undoRedoAndClipboardKeys() {
        ActivateMain();
        GridView* grid = p_->app.Main().Grid();
        grid->setFocus();
        const auto mark = [this] {
            return p_->app.Main().StatusBar()->FieldText(MainStatusBar::Field::Modified);
        };
        QTest::keyClicks(grid, "ab");
        QVERIFY(grid->isEditing());
        QCOMPARE(mark(), QStringLiteral("変更あり"));
        // Each key, its modifiers and the cell's text after it ("+x" types x).
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, none = Qt::NoModifier;
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, const char*> steps[] = {
            {Qt::Key_Z, ctrl, ""},
            {Qt::Key_Y, ctrl, "ab"},
            {Qt::Key_Return, none, "ab"},
            {Qt::Key_C, none, "+cd"},
            {Qt::Key_Z, ctrl, "ab"},
            {Qt::Key_Z, ctrl, ""},  // the editor still open: the step before goes too
            {Qt::Key_Z, ctrl | Qt::ShiftModifier, "ab"},
            {Qt::Key_X, none, "+x"},
            {Qt::Key_Escape, none, "ab"},
            {Qt::Key_Z, ctrl, ""},  // Esc left no step behind
        };
        for (const auto& [k, modifiers, text] : steps) {
            if (*text == '+') {
                QTest::keyClicks(grid, text + 1);
            } else {
                QTest::keyClick(QApplication::focusWidget(), k, modifiers);
            }
            QCOMPARE(p_->Grid().CellText(1, 1), std::string(*text == '+' ? text + 1 : text));
        }
        QVERIFY(!grid->isEditing());
        QCOMPARE(mark(), QString());
        QVERIFY(!p_->app.Main().MenuItems()[18]->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, ctrl);
        p_->user.Then(test::Press(Qt::Key_Escape));  // the question's Cancel
        p_->app.Main().close();
        QCOMPARE(p_->user.seen.back().text, QStringLiteral("表の変更を保存しますか？"));
        QVERIFY(p_->app.Main().isVisible() && p_->app.TitleList().isVisible());

        // Ctrl+C, Delete and Ctrl+V on a selected range reach the table; in the cell editor and
        // the title box they stay the box's own, and a multi-line paste keeps what each can hold.
        // A character Shift-JIS cannot hold is refused and named in the status bar.
        grid->setFocus();
        TableGrid& table = p_->Grid();
        table.SetCell(1, 1, "a");
        table.SetCell(2, 1, "b");
        table.SetCell(1, 2, "c");
        QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_C, ctrl);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\tb\r\nc\t\r\n"));
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(table.CellText(1, 1) + table.CellText(2, 1) + table.CellText(1, 2), "");
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_V, ctrl);  // at (2, 3), adding column 3
        QCOMPARE(table.CellText(2, 3) + table.CellText(3, 3) + table.CellText(2, 4), "abc");
        QCOMPARE(table.ColCount(), 4);

        QTest::keyClicks(grid, "x");  // the editor opens on (2, 3)
        QVERIFY(grid->isEditing());
        QWidget* editor = QApplication::focusWidget();
        QGuiApplication::clipboard()->setText(QStringLiteral("1\r\n2"));
        QTest::keyClick(editor, Qt::Key_V, ctrl);
        QTest::keyClick(editor, Qt::Key_A, ctrl);
        QTest::keyClick(editor, Qt::Key_C, ctrl);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("x1\n2"));
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString::fromUtf8("😀"),
                            Qt::NoModifier);
        QCOMPARE(table.CellText(2, 3), "x1\n2");
        // At the designed width the note is read whole, left of the fields; its tool tip says why.
        MainStatusBar* bar = p_->app.Main().StatusBar();
        QCOMPARE(bar->toolTip(),
                 QString::fromUtf8("「😀」(U+1F600) は Shift-JIS で表せないため入力できません"));
        p_->app.Windows().SetMainWindowGeometry({100, 80, 276, 247});
        int room = bar->width();
        for (const QLabel* field : bar->findChildren<QLabel*>()) {
            room = field->isVisible() ? std::min(room, field->x()) : room;
        }
        QVERIFY(bar->fontMetrics().horizontalAdvance(bar->currentMessage()) + 6 < room);

        QLineEdit* title = p_->app.Main().EditTitle();
        title->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("t1\r\nt2\nt3"));
        QTest::keyClick(title, Qt::Key_V, ctrl);
        QCOMPARE(p_->Form().EditTitle(), "t1 t2 t3");
    }

    // A word composed in a cell goes into that cell when a click ends the edit, on another cell
    // or on the title box, whether the grid or the editor had the focus; the clicked cell's text
    // is not touched, the next word starts anew, and after a click on the title box what is
    // composed goes there.
    void aClickWhileComposingKeepsTheWord() {
        ActivateMain();
        GridView* grid = p_->app.Main().Grid();
        grid->setFocus();
        TableGrid& table = p_->Grid();
        for (const GridCell cell : {GridCell{1, 1}, GridCell{2, 2}, GridCell{1, 3}}) {
            table.SetCell(cell.col, cell.row, "old");
        }
        const auto compose = [](const char* preedit, const char* commit) {
            QInputMethodEvent event(QString::fromUtf8(preedit), {});
            event.setCommitString(QString::fromUtf8(commit));
            QApplication::sendEvent(QApplication::focusWidget(), &event);
            QCoreApplication::processEvents();
        };
        const auto click = [](QWidget* widget, QPoint at) {
            QTest::mouseClick(widget, Qt::LeftButton, {}, at);
            QCoreApplication::processEvents();
        };
        compose("きょうと", "");
        click(grid->viewport(), grid->cellRect({2, 2})->center());
        QCOMPARE(table.CellText(1, 1), test::Sjis("きょうと"));
        QVERIFY(!grid->isEditing() && table.CellText(2, 2) == "old");
        compose("き", "");
        compose("", "京");
        compose("と", "");  // in the editor, which has the focus now
        QLineEdit* title = p_->app.Main().EditTitle();
        click(title, title->rect().center());
        QCOMPARE(table.CellText(2, 2), test::Sjis("京と"));
        click(grid->viewport(), grid->cellRect({1, 3})->center());
        compose("あ", "");  // passed on by the grid, which has the focus
        click(title, title->rect().center());
        compose("", "い");
        QCOMPARE(table.CellText(1, 3), test::Sjis("あ"));
        QVERIFY(QApplication::focusWidget() == title && title->text() == QStringLiteral("い"));
    }

    // Ctrl+F, a text typed and F3 move the current cell to the match (the window keeps its
    // size); Esc closes the find bar and gives the focus back to the grid; a sort runs from the
    // menu and Ctrl+Z takes it back. Ctrl+G, a typo and Enter: the warning's OK leaves the dialog
    // open with the typo selected; a number typed over it and Enter: the row is current, the
    // status bar says so and the grid scrolls to it.
    void findSortAndGoToRowWithRealKeys() {
        const auto column = [this] {
            return p_->Grid().CellText(1, 1) + p_->Grid().CellText(1, 2) +
                   p_->Grid().CellText(1, 3);
        };
        for (int32_t row = 1; row <= 3; ++row) {
            p_->Grid().SetCell(1, row, std::to_string(4 - row));
        }
        p_->Grid().SetCell(2, 3, "abc");
        ActivateMain();
        GridView* grid = p_->app.Main().Grid();
        const FindBar* bar = p_->app.Main().Find();
        const QSize size = p_->app.Main().size();  // saved with the table: the bar keeps it
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(bar->SearchBox(), "ABC");
        QTRY_COMPARE(bar->CountLabel()->text(), QStringLiteral("一致 1 件"));
        QCOMPARE(p_->app.Main().size(), size);
        QTest::keyClick(bar->SearchBox(), Qt::Key_F3);
        QCOMPARE(p_->Grid().Current(), (GridCell{2, 3}));
        QTest::keyClick(bar->SearchBox(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible() && grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_Left);
        ChooseMenuItem("TA");
        QCOMPARE(column() + p_->Grid().CellText(2, 1), std::string("123abc"));
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(column() + p_->Grid().CellText(2, 1), std::string("321"));
        p_->Grid().SetRowCount(2001);
        QString keptAfterTypo;
        p_->user
            .Then([&keptAfterTypo](QDialog& dialog) {
                test::ShowActive(dialog);
                QTest::keyClicks(dialog.focusWidget(), "abc");
                QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
                const bool stayed = dialog.isVisible();
                test::ShowActive(dialog);  // as the system activates it again after the warning
                keptAfterTypo =
                    stayed ? static_cast<QLineEdit*>(dialog.focusWidget())->selectedText() : "";
                QTest::keyClicks(dialog.focusWidget(), "1500");
                QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
                return dialog.result();
            })
            .Then(test::Press(Qt::Key_Return));
        QTest::keyClick(grid, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(p_->user.seen.at(1).text, QStringLiteral("行番号を数字で入力してください。"));
        QCOMPARE(keptAfterTypo, QStringLiteral("abc"));
        QCOMPARE(p_->Grid().Current(), (GridCell{1, 1500}));
        QTRY_COMPARE(p_->app.Main().StatusBar()->FieldText(MainStatusBar::Field::Position),
                     QStringLiteral("行 1,500 / 2,000  列 1"));
        QVERIFY(grid->topLeft().row > 1);  // scrolled to it
    }

    // Ctrl+D copies the selection's top row down; a text typed and Ctrl+Enter goes into every
    // selected cell. With 正規表現 the bar counts by pattern, shows a bad pattern's error and
    // replaces with $1; the texts used come back in the drop-downs.
    void fillAndRegularExpressionsWithRealKeys() {
        p_->Grid().SetRowCount(4);
        p_->Grid().SetCell(1, 1, "x1");
        ActivateMain();
        GridView* grid = p_->app.Main().Grid();
        const auto cells = [this] {
            QString texts;
            for (int32_t row = 1; row < 4; ++row) {
                texts += QString::fromStdString(p_->Grid().CellText(1, row) + "," +
                                                p_->Grid().CellText(2, row) + ";");
            }
            return texts;
        };
        p_->Grid().SetCurrentCell({1, 1});
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(cells(), QString("x1,;x1,;x1,;"));
        QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClicks(grid, "y2");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(cells(), QString("y2,y2;y2,y2;y2,y2;"));

        FindBar* bar = p_->app.Main().Find();
        QTest::keyClick(grid, Qt::Key_H, Qt::ControlModifier);
        bar->findChild<QCheckBox*>("Regex")->click();
        QTest::keyClicks(bar->SearchBox(), "(\\d");
        QTRY_VERIFY(
            bar->CountLabel()->text().startsWith(QStringLiteral("正規表現が正しくありません")));
        QTest::keyClicks(bar->SearchBox(), ")$");
        QTRY_COMPARE(bar->CountLabel()->text(), QStringLiteral("一致 6 件"));
        QTest::keyClicks(bar->ReplaceBox(), "<$1>");
        QTest::mouseClick(bar->findChild<QPushButton*>("ReplaceAllButton"), Qt::LeftButton);
        QCOMPARE(cells(), QString("y<2>,y<2>;y<2>,y<2>;y<2>,y<2>;"));
        QCOMPARE(bar->SearchCombo()->itemText(0), QStringLiteral("(\\d)$"));
        QCOMPARE(bar->SearchCombo()->count(), 1);  // only the texts a command ran with
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cells(), QString("y2,y2;y2,y2;y2,y2;"));
    }

    // Ctrl+Shift+L opens the filter bar; what is typed filters the rows, the status bar counts
    // them and the menu item is marked; a paste writes the shown rows only, the arrow keys skip
    // the hidden ones, and one Ctrl+Z takes the paste back.
    void filterWithRealKeys() {
        for (int32_t row = 1; row <= 5; ++row) {
            p_->Grid().SetCell(1, row, "a" + std::to_string(row));
            p_->Grid().SetCell(2, row, row % 2 == 1 ? "x" : "");
        }
        ActivateMain();
        GridView* grid = p_->app.Main().Grid();
        const FilterBar* bar = p_->app.Main().Filter();
        QTest::keyClick(grid, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(bar->isVisible() && bar->ValueBox()->hasFocus());
        QVERIFY(!p_->app.Main().findChild<QAction*>(QStringLiteral("Filter1"))->isChecked());
        QTest::keyClicks(bar->ValueBox(), "x");
        const MainStatusBar* status = p_->app.Main().StatusBar();
        QTRY_COMPARE(status->FieldText(MainStatusBar::Field::Filter),
                     QStringLiteral("表示 3 / 5 行"));
        QTest::keyClick(bar->ValueBox(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible() && grid->hasFocus());
        QVERIFY(p_->app.Main().findChild<QAction*>(QStringLiteral("Filter1"))->isChecked());
        QApplication::clipboard()->setText(QStringLiteral("p\r\nq\r\n"));
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        const auto column = [this] {
            std::string texts;
            for (int32_t row = 1; row <= 5; ++row) {
                texts += p_->Grid().CellText(1, row) + "|";
            }
            return texts;
        };
        QCOMPARE(column(), std::string("p|a2|q|a4|a5|"));
        QTest::keyClick(grid, Qt::Key_Down);  // over the hidden row 2
        QCOMPARE(p_->Grid().Current(), (GridCell{1, 3}));
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(column(), std::string("a1|a2|a3|a4|a5|"));
        ChooseMenuItem("DC");
        QTRY_COMPARE(status->FieldText(MainStatusBar::Field::Filter), QString());

        // A regular expression slow on every cell: the bar says it is at work, and the next key
        // stops that work at once (its note goes) and filters by the new text.
        p_->Grid().SetRowCount(201);
        for (int32_t row = 1; row <= 200; ++row) {
            p_->Grid().SetCell(1, row, row % 2 == 1 ? "k" : "m");
            p_->Grid().SetCell(2, row, std::string(30, 'a') + "!");
        }
        QTest::keyClick(grid, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        bar->TestBox()->setCurrentIndex(static_cast<int>(FilterTest::Regex));
        QTest::keyClick(bar->ValueBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(bar->ValueBox(), "^(a+)+$");
        QTRY_COMPARE(bar->MessageLabel()->text(), QString::fromUtf8(kFilteringNote));
        QTest::keyClick(bar->ValueBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(bar->ValueBox(), "k");
        QCOMPARE(bar->MessageLabel()->text(), QString());
        QTRY_COMPARE(status->FieldText(MainStatusBar::Field::Filter),
                     QStringLiteral("表示 100 / 200 行"));
        QCOMPARE(p_->Form().Document().Shown().Rows().back(), 199);
        QCOMPARE(bar->MessageLabel()->text(), QString());
    }

    // Ctrl+H with nothing to find puts the cursor in 検索, and the bar keeps the current cell
    // in sight. Right after the bar's replace, Ctrl+Z and Ctrl+Y in the bar take back and make
    // again the table's step, and the next Ctrl+Z the field's own typing; the replace's notice
    // goes at the next command.
    void findBarOpensOverTheCurrentCellAndLeavesUndoToTheTable() {
        ActivateMain();
        GridView* grid = p_->app.Main().Grid();
        const FindBar* bar = p_->app.Main().Find();
        p_->Grid().SetRowCount(200);
        p_->Grid().SetCell(1, 1, "a");
        p_->Grid().SetCurrentCell({1, 199});  // the grid scrolls it to the bottom
        QTest::keyClick(grid, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), bar->SearchCombo());
        QVERIFY(grid->viewport()->rect().contains(grid->cellRect({1, 199}).value_or(QRect())));
        QTest::keyClicks(bar->SearchBox(), "a");
        QTest::keyClicks(bar->ReplaceBox(), "b");
        QTest::mouseClick(bar->findChild<QPushButton*>("ReplaceAllButton"), Qt::LeftButton);
        // Column 1 of row 1, the replacement box and the note, after each key.
        // clang-format off
        const std::pair<Qt::Key, const char*> steps[] = {
            {Qt::Key_unknown, "bb1 個のセルを置換しました"},
            {Qt::Key_Z, "ab"}, {Qt::Key_Y, "bb"}, {Qt::Key_Z, "ab"}, {Qt::Key_Z, "a"}};
        // clang-format on
        for (const auto& [key, shown] : steps) {
            if (key != Qt::Key_unknown) {
                QTest::keyClick(bar->ReplaceBox(), key, Qt::ControlModifier);
            }
            QCOMPARE(QString::fromStdString(p_->Grid().CellText(1, 1)) + bar->ReplaceBox()->text() +
                         p_->app.Main().StatusBar()->currentMessage(),
                     QString::fromUtf8(shown));
        }
    }

    // Each dialog opens first with the focus on its default OK, then where it was left. The
    // item name box is filled from the cell at each opening and only OK (Enter) writes it back;
    // the search box keeps its text between openings, Esc counts nothing and OK counts; Enter
    // closes the about box.
    void toolDialogsAndTheAboutBoxOpenOnTheirDefaultOk() {
        ItemNameDialog& names = p_->app.ItemName();
        MatchCountDialog& find = p_->app.MatchCount();
        p_->Grid().SetCell(1, 0, test::Sjis("書名"));
        p_->Grid().SetCell(1, 1, test::Sjis("猫"));
        p_->Grid().SetCell(1, 2, test::Sjis("  猫 "));
        // At each opening: "OK" when the focus is on the default OK, the box's text, and the
        // result after typing over the text (unless `typed` is null) and pressing `key`.
        QStringList seen;
        const auto use = [&seen](QLineEdit* box, QPushButton* ok, QString typed, Qt::Key key) {
            return [=, &seen](QDialog& dialog) {
                test::ShowActive(dialog);
                QString visit = ok->isDefault() && QApplication::focusWidget() == ok ? "OK|" : "|";
                visit += box != nullptr ? box->text() : QString();
                if (!typed.isNull()) {
                    box->setFocus();
                    box->selectAll();
                    test::TypeText(box, typed);
                }
                const int result = test::PressKey(dialog, key);
                seen << visit + "|" + QString::number(result);
                return result;
            };
        };
        p_->user.Then(use(names.EditColName(), names.OKBtn(), "typed", Qt::Key_Escape))
            .Then(use(names.EditColName(), names.OKBtn(), " new ", Qt::Key_Return))
            .Then(use(find.EditChkStr(), find.OKBtn(), QStringLiteral("猫"), Qt::Key_Escape))
            .Then(use(find.EditChkStr(), find.OKBtn(), QString(), Qt::Key_Return))
            .Then(test::Press(Qt::Key_Return))
            .Then(use(nullptr, p_->app.About().OKButton(), QString(), Qt::Key_Return));
        p_->Form().Tools().OpenItemNameDialog();
        QCOMPARE(p_->Grid().CellText(1, 0), test::Sjis("書名"));
        p_->Form().Tools().OpenItemNameDialog();
        QCOMPARE(p_->Grid().CellText(1, 0), std::string(" new "));
        p_->Form().Tools().OpenMatchCountDialog();
        QCOMPARE(p_->user.seen.size(), std::size_t{3});  // Esc: no report
        p_->Form().Tools().OpenMatchCountDialog();
        QCOMPARE(p_->user.seen[4].text, QStringLiteral("2 件一致しました。"));
        p_->Form().ShowAbout();
        QCOMPARE(seen.join(' '), QStringLiteral("OK|書名|0 |書名|1 OK||0 |猫|1 OK||1"));
    }

    // The sort dialog driven by its keys: the first key on the current column, 読み with its
    // ふりがな column, then Enter; the second key's boxes wait until it names a column.
    void sortDialogSortsByTheKeysChosen() {
        const char* names[][2] = {
            {"渡辺", "ああ"}, {"ｻﾄｳ", ""}, {"あおき", ""}};  // a reading of its own
        for (int row = 1; row <= 3; ++row) {
            p_->Grid().SetCell(1, row, test::Sjis(names[row - 1][0]));
            p_->Grid().SetCell(2, row, test::Sjis(names[row - 1][1]));
        }
        p_->user.Then([](QDialog& dialog) {
            test::ShowActive(dialog);
            const auto box = [&](const char* name) { return dialog.findChild<QComboBox*>(name); };
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);  // to the kind
            for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Tab,
                                      Qt::Key_Tab, Qt::Key_Down, Qt::Key_Down}) {
                QTest::keyClick(dialog.focusWidget(), key);
            }
            if (box("KindBox2")->isEnabled() || !box("FuriganaBox1")->isEnabled()) {
                return int(QDialog::Rejected);
            }
            return test::PressKey(dialog, Qt::Key_Return);
        });
        p_->Grid().SetCurrentCell({1, 1});
        ChooseMenuItem("DO");
        QCOMPARE(p_->Grid().CellText(1, 1) + "|" + p_->Grid().CellText(1, 2) + "|" +
                     p_->Grid().CellText(1, 3),
                 test::Sjis("渡辺|あおき|ｻﾄｳ"));
    }

    // Captions by kind and the buttons in their order. Enter presses the default button, Esc
    // the cancelling one, the close box gives Cancel; a button's access letter answers without
    // Alt (with Shift too), while Ctrl and letters of no button leave the box open. Every box
    // is wide enough for its caption, its icon and its close box in the desktop's bold title
    // font.
    void messageBoxCaptionsKeysAndWidth() {
        const std::pair<MessageKind, const char*> kinds[] = {{MessageKind::Warning, "警告"},
                                                             {MessageKind::Error, "ｴﾗｰ"},
                                                             {MessageKind::Information, "情報"},
                                                             {MessageKind::Confirmation, "確認"}};
        for (const auto& [kind, caption] : kinds) {
            const MessageDialog dialog(QStringLiteral("text"), kind, Buttons(MessageButton::OK));
            QCOMPARE(dialog.windowTitle(), QString::fromUtf8(caption));
        }
        using B = MessageButton;
        const MessageDialog all(QStringLiteral("text"), MessageKind::Warning, kAllButtons);
        QCOMPARE(Captions(all), QStringList({"はい(&Y)", "いいえ(&N)", "OK", "ｷｬﾝｾﾙ", "中止(&A)",
                                             "再試行(&R)", "無視(&I)", "すべて", "ﾍﾙﾌﾟ(&H)"}));
        const MessageDialog two(QStringLiteral("text"), MessageKind::Confirmation, B::No | B::Yes);
        QCOMPARE(Captions(two), QStringList({"はい(&Y)", "いいえ(&N)"}));
        const MessageButtons ok = Buttons(B::OK), yesNo = B::Yes | B::No,
                             yesNoCancel = yesNo | Buttons(B::Cancel), okCancel = B::OK | B::Cancel,
                             retryCancel = B::Retry | B::Cancel,
                             abortRetryIgnore = (B::Abort | B::Retry) | Buttons(B::Ignore);
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        const Qt::Key enter = Qt::Key_Return, esc = Qt::Key_Escape, closeBox = Qt::Key_unknown;
        // The buttons, the key and its modifiers, the answer (None: the box stays open).
        // clang-format off
        const std::tuple<MessageButtons, Qt::Key, Qt::KeyboardModifiers, MessageButton> cases[] = {
            {ok, enter, none, B::OK}, {ok, esc, none, B::OK}, {ok, closeBox, none, B::Cancel},
            {yesNo, enter, none, B::Yes}, {yesNo, esc, none, B::No},
            {yesNoCancel, enter, none, B::Yes}, {yesNoCancel, esc, none, B::Cancel},
            {okCancel, enter, none, B::OK}, {okCancel, esc, none, B::Cancel},
            {retryCancel, enter, none, B::Retry}, {retryCancel, esc, none, B::Cancel},
            {abortRetryIgnore, enter, none, B::Retry}, {abortRetryIgnore, esc, none, B::None},
            {abortRetryIgnore, closeBox, none, B::Cancel}, {yesNo, closeBox, none, B::Cancel},
            {kAllButtons, enter, none, B::OK}, {kAllButtons, esc, none, B::Cancel},
            {yesNo, Qt::Key_Y, none, B::Yes}, {yesNo, Qt::Key_N, Qt::ShiftModifier, B::No},
            {yesNo, Qt::Key_Y, Qt::ControlModifier, B::None}, {yesNo, Qt::Key_O, none, B::None},
            {kAllButtons, Qt::Key_A, none, B::Abort}, {kAllButtons, Qt::Key_R, none, B::Retry},
            {kAllButtons, Qt::Key_I, none, B::Ignore}, {kAllButtons, Qt::Key_H, none, B::Help},
            {ok, Qt::Key_Y, none, B::None}};
        // clang-format on
        for (const auto& [buttons, key, modifiers, answer] : cases) {
            MessageDialog dialog(QStringLiteral("x"), MessageKind::Confirmation, buttons);
            test::ShowActive(dialog);
            key == closeBox ? void(dialog.close())
                            : QTest::keyClick(dialog.focusWidget(), key, modifiers);
            QCOMPARE(dialog.result(), int(answer));
            QCOMPARE(dialog.isVisible(), answer == B::None);
        }
        QFont titleFont = QApplication::font();
        titleFont.setBold(true);
        const int titleBar =
            std::max(QFontMetrics(titleFont).height(),
                     QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
        for (const auto& box :
             {MessageDialog::FailureBox(QStringLiteral("x")),
              std::make_unique<MessageDialog>(QStringLiteral("x"), MessageKind::Information,
                                              Buttons(MessageButton::OK))}) {
            QVERIFY(box->width() >=
                    QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()) + 2 * titleBar);
        }
    }

    // Ctrl+P shows the pages (60 rows: two of them), PageDown turns to the second; the choices
    // made in the preview are remembered; the PDF command writes the pages the preview showed.
    void printPreviewTurnsPagesAndThePdfIsWritten() {
        p_->Grid().SetRowCount(61);
        QString pages;
        p_->user.Then([&pages](QDialog& dialog) {
            auto& preview = static_cast<PrintPreviewDialog&>(dialog);
            auto* label = preview.findChild<QLabel*>(QStringLiteral("PageLabel"));
            pages = label->text();
            test::ShowActive(dialog);
            QTest::keyClick(dialog.focusWidget(), Qt::Key_PageDown);
            pages += "|" + label->text();
            preview.findChild<QCheckBox*>(QStringLiteral("FitWidthBox"))->click();
            return test::PressKey(dialog, Qt::Key_Escape);
        });
        ActivateMain();
        QTest::keyClick(&p_->app.Main(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(pages, QString::fromUtf8("ページ 1 / 2|ページ 2 / 2"));
        QCOMPARE(ReadPrintChoices(PrintChoicesPath()).scaling, ColumnScaling::FitPageWidth);
        std::filesystem::remove(PrintChoicesPath());

        // With a filter on, the rows it shows can be printed alone: rows 2 and 60 on one page.
        p_->Grid().SetCell(1, 2, "k");
        p_->Grid().SetCell(1, 60, "k");
        p_->Form().Filter().ApplyFilter({{1, FilterTest::Equals, "k"}}, FilterMatching::Exact);
        p_->user.Then([&pages](QDialog& dialog) {
            auto* label = dialog.findChild<QLabel*>(QStringLiteral("PageLabel"));
            auto* rows = dialog.findChild<QComboBox*>(QStringLiteral("RowsBox"));
            rows->setCurrentIndex(rows->findData(static_cast<int>(PrintedRows::Shown)));
            pages = label->text();
            return test::PressKey(dialog, Qt::Key_Escape);
        });
        QTest::keyClick(&p_->app.Main(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(pages, QString::fromUtf8("ページ 1 / 1"));
        p_->Form().Filter().ClearFilter();
        std::filesystem::remove(PrintChoicesPath());

        const std::string pdf = stores_->Path("t.pdf");
        p_->user.Then(test::Press(Qt::Key_Return)).Then(test::ChooseFile(pdf));
        ChooseMenuItem("FD");
        std::ifstream written(pdf, std::ios::binary);
        const std::string contents{std::istreambuf_iterator<char>(written), {}};
        QVERIFY(contents.starts_with("%PDF-"));
        QVERIFY(contents.find("/Count 2") != std::string::npos);
    }

    // データ > 表の比較: the other table beside this one; F8 and Shift+F8 go from difference to
    // difference, and a difference taken over is a step that Ctrl+Z in the window undoes.
    void compareWindowGoesToDifferencesAndTakesThemOver() {
        TableGrid& grid = p_->Grid();
        grid.SetRowCount(4);
        for (const auto& [row, text] : {std::pair{1, "a"}, {2, "b"}, {3, "c"}}) {
            grid.SetCell(1, row, text);
        }
        const std::string other = stores_->Path("b.qvd");
        std::ofstream(other, std::ios::binary)
            << test::TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "2", "5", "80",
                                  "-", "", "a", "x", "b", "d"});
        p_->user.Then(test::ChooseFile(other)).Then(test::Press(Qt::Key_Return));
        ChooseMenuItem("DM");
        CompareWindow* window = p_->app.Windows().Compare();
        QVERIFY(window != nullptr && window->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(window));
        const auto* counts = window->findChild<QLabel*>(QStringLiteral("CountsLabel"));
        const QString before = QString::fromUtf8("追加 1 / 削除 0 / 変更 1 行 (セル 1)");
        QCOMPARE(counts->text(), before);
        QTest::keyClick(window->View(), Qt::Key_F8);
        QCOMPARE(window->View()->currentIndex().row(), 1);  // the row added in b
        QTest::keyClick(window->View(), Qt::Key_F8);
        QCOMPARE(window->View()->currentIndex().row(), 3);  // the changed row, at its cell
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("TakeOverBtn")),
                          Qt::LeftButton);
        QCOMPARE(grid.Cell(1, 3), "d");
        QTRY_COMPARE(counts->text(), QString::fromUtf8("追加 1 / 削除 0 / 変更 0 行 (セル 0)"));
        QTest::keyClick(window->View(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grid.Cell(1, 3), "c");
        QTRY_COMPARE(counts->text(), before);
        QTest::keyClick(window->View(), Qt::Key_F8, Qt::ShiftModifier);
        QCOMPARE(window->View()->currentIndex().row(), 1);
    }

private:
    void ActivateMain() {
        p_->app.Main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p_->app.Main()));
    }
    // Opens a menu with Alt and its access letter, then presses the access letters of the items
    // (a submenu's letter first).
    void ChooseMenuItem(const char* letters) {
        ActivateMain();
        QTest::keyClick(&p_->app.Main(), Qt::Key(letters[0]), Qt::AltModifier);
        for (const char* letter = letters + 1; *letter != '\0'; ++letter) {
            QVERIFY2(QApplication::activePopupWidget() != nullptr, "no menu open");
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(*letter));
        }
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    }

    std::optional<test::TempStores> stores_;
    std::optional<Program> p_;
};

}  // namespace qv

QTEST_MAIN(qv::MainWindowTest)
#include "main_window_test.moc"
