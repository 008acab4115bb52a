// The main window: its layout, menus and toolbar, and that every menu item and toolbar button
// reaches its command. Menus are driven by the keyboard (Alt and the access letters), buttons
// by the mouse; modal windows are answered by a scripted user.

#include <QApplication>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include "app/main_form.h"
#include "gui/application.h"
#include "gui/grid_view.h"
#include "gui/help_viewer.h"
#include "gui/history_window.h"
#include "gui/main_window.h"
#include "gui/qt_window_system.h"
#include "gui_test_support.h"
#include "platform/cp932.h"

namespace qv {

namespace {

QStringList MenuCaptions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions()) {
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

std::string Sjis(const char* utf8) {
    return *Utf8ToCp932(utf8);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }

    void init() {
        stores_ = std::make_unique<test::TempStores>();
        app_ = std::make_unique<Application>(stores_->Stores(), ".");
        user_ = std::make_unique<test::ScriptedUser>(app_->Windows());
        app_->Start();
        // The first activation of the main window opens the title list window.
        QTRY_VERIFY(app_->History().isActiveWindow());
    }

    void cleanup() {
        QCOMPARE(user_->unexpected, 0);
        QVERIFY(user_->script.empty());
        app_.reset();
        user_.reset();
        stores_.reset();
    }

    void captionFontAndIcon() {
        MainWindow& main = app_->Main();
        QCOMPARE(main.windowTitle(), QStringLiteral("Quorvane Ver1.00"));
        QCOMPARE(main.windowHandle()->title(), QStringLiteral("Quorvane Ver1.00"));
        QCOMPARE(main.font().pixelSize(), 12);
        QCOMPARE(QFontInfo(main.font()).family(), QStringLiteral("IPAPGothic"));
        QVERIFY(!main.windowIcon().isNull());
    }

    void menusAreExact() {
        const QList<QAction*> menus = app_->Main().menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[0]->text(), QStringLiteral("ファイル(&F)"));
        QCOMPARE(menus[1]->text(), QStringLiteral("編集(&E)"));
        QCOMPARE(menus[2]->text(), QStringLiteral("ツール(&T)"));
        QCOMPARE(MenuCaptions(menus[0]->menu()),
                 QStringList({"タイトル一覧(&L)", "ファイルを開く(&O)", "保存(&S)", "-",
                              "使い方(&H)", "Quorvaneについて(&A)", "-", "終了(&X)"}));
        QCOMPARE(MenuCaptions(menus[0]->menu()->actions()[2]->menu()),
                 QStringList({"上書き(&S)", "別名保存(&A)"}));
        QCOMPARE(MenuCaptions(menus[1]->menu()),
                 QStringList({"現在行を削除(&D)", "新しい行を前に挿入(&I)",
                              "新しい行を次に挿入(&A)", "削除した行を貼り付け(&P)", "-",
                              "列の追加(&M)", "列の削除(&R)", "-", "全データ消去(&E)"}));
        QCOMPARE(MenuCaptions(menus[2]->menu()),
                 QStringList({"計算(&C)", "計数(&N)", "項目名設定(&I)"}));
        for (const QAction* item : app_->Main().MenuItems()) {
            QVERIFY(item->shortcut().isEmpty());
            QVERIFY(item->isEnabled());
            QVERIFY(item->toolTip() == item->text() || item->toolTip().isEmpty() ||
                    item->toolTip() == QString(item->text()).remove(QLatin1Char('&')));
        }
    }

    void toolbarLayoutAndHints() {
        MainWindow& main = app_->Main();
        QCOMPARE(main.Panel2()->height(), 49);
        const QStringList hints = {"タイトル一覧を表示",
                                   "ファイルの上書き保存",
                                   "現在行の次に行を挿入",
                                   "現在行の削除",
                                   "計算",
                                   "使い方，バージョン情報の表示",
                                   "このプログラムを終了"};
        const std::vector<QToolButton*>& buttons = main.SpeedButtons();
        QCOMPARE(buttons.size(), std::size_t{7});
        for (int i = 0; i < 7; ++i) {
            QToolButton* button = buttons[static_cast<std::size_t>(i)];
            QCOMPARE(button->geometry(), QRect(2 + 25 * i, 1, 25, 25));
            QCOMPARE(button->toolTip(), hints[i]);
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
            QCOMPARE(button->iconSize(), QSize(16, 16));
            QVERIFY(!button->icon().isNull());
            // The hint shows as a tool tip when the pointer rests on the button.
            QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(button, &hover);
            QTRY_COMPARE(QToolTip::text(), hints[i]);
            QToolTip::hideText();
        }
        QCOMPARE(main.Label1()->text(), QStringLiteral("タイトル"));
        QCOMPARE(main.Label1()->pos(), QPoint(4, 32));
        QCOMPARE(main.EditTitle()->pos(), QPoint(56, 27));
        QCOMPARE(main.EditTitle()->height(), 26);
        QCOMPARE(main.EditTitle()->font().pixelSize(), 19);
        // The grid fills the window below the toolbar.
        const QPoint gridTop = main.Grid()->mapTo(&main, QPoint(0, 0));
        QCOMPARE(gridTop.y(), main.Panel2()->mapTo(&main, QPoint(0, 49)).y());
        QCOMPARE(main.Grid()->width(), main.width());
    }

    void resizingSetsTheTitleBoxWidth() {
        MainWindow& main = app_->Main();
        // Outer sizes: the frame counts.
        app_->Windows().SetMainWindowGeometry({100, 80, 500, 400});
        QCOMPARE(main.frameGeometry(), QRect(100, 80, 500, 400));
        QCOMPARE(main.EditTitle()->width(), 435);
        QCOMPARE(main.EditTitle()->x(), 56);
        app_->Windows().SetMainWindowGeometry({100, 80, 276, 247});
        QCOMPARE(main.EditTitle()->width(), 211);
    }

    void typedTitleGoesToTheModelInCp932() {
        QLineEdit* title = app_->Main().EditTitle();
        title->setFocus();
        Type(title, QStringLiteral("蔵書A"));
        QCOMPARE(app_->Form().EditTitle(), Sjis("蔵書A"));
        // A character CP932 has no code for is refused as it is typed.
        Type(title, QStringLiteral("😀"));
        QCOMPARE(title->text(), QStringLiteral("蔵書A"));
        QTest::keyClick(title, Qt::Key_Backspace);
        QCOMPARE(app_->Form().EditTitle(), Sjis("蔵書"));
    }

    void titleWithInvalidBytesKeepsThemWhenEditedElsewhere() {
        const std::string title = "xy\x81";  // a lead byte without its second byte
        app_->Form().SetEditTitle(title);
        app_->Windows().TitleChanged();
        QLineEdit* box = app_->Main().EditTitle();
        QCOMPARE(box->text(), QStringLiteral("xy\uFFFD"));
        box->setFocus();
        box->home(false);
        QTest::keyClick(box, Qt::Key_Z);
        QCOMPARE(app_->Form().EditTitle(), "z" + title);
    }

    // --- The command map, menu by menu ---

    void fileMenuTitleListShowsTheWindow() {
        app_->Windows().HideTitleListWindow();
        QVERIFY(!app_->History().isVisible());
        ChooseMenuItem(Qt::Key_F, {Qt::Key_L});
        QVERIFY(app_->History().isVisible());
    }

    void fileMenuOpenShowsTheOpenDialog() {
        user_->Then(test::Inspect([](QDialog& dialog) {
            auto& files = static_cast<QFileDialog&>(dialog);
            QCOMPARE(files.windowTitle(), QStringLiteral("データの読み込み"));
            QCOMPARE(files.acceptMode(), QFileDialog::AcceptOpen);
            QCOMPARE(files.fileMode(), QFileDialog::AnyFile);
            QVERIFY(files.testOption(QFileDialog::DontUseNativeDialog));
            // The list shows the filters' names only; the first is chosen.
            QCOMPARE(files.selectedNameFilter(), QStringLiteral("Quorvaneの表データ(*.qvd)"));
            QCOMPARE(files.nameFilters(), QStringList({"Quorvaneの表データ(*.qvd) (*.qvd)",
                                                       "すべてのファイル(*.*) (*)"}));
        }));
        ChooseMenuItem(Qt::Key_F, {Qt::Key_O});
        QCOMPARE(user_->seen.size(), std::size_t{1});
        QVERIFY(user_->seen[0].fileDialog);
    }

    void fileMenuSaveItemsShowTheSaveDialog() {
        const auto expectSaveDialog = [](QDialog& dialog) {
            auto& files = static_cast<QFileDialog&>(dialog);
            QCOMPARE(files.windowTitle(), QStringLiteral("データの保存"));
            QCOMPARE(files.acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(!files.testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(files.nameFilters(),
                     QStringList({"Quorvaneのデータ(*.qvd) (*.qvd)", "すべてのファイル(*.*) (*)"}));
        };
        user_->Then(test::Inspect(expectSaveDialog)).Then(test::Inspect(expectSaveDialog));
        ChooseMenuItem(Qt::Key_F, {Qt::Key_S, Qt::Key_S});  // 保存 > 上書き, no file yet
        ChooseMenuItem(Qt::Key_F, {Qt::Key_S, Qt::Key_A});  // 保存 > 別名保存
        QCOMPARE(user_->seen.size(), std::size_t{2});
    }

    void saveAsWritesTheFileAndListsItsTitle() {
        const std::string path = stores_->Path("books");
        app_->Form().SetEditTitle(Sjis("蔵書一覧"));
        user_->Then(test::ChooseFile(path));
        ChooseMenuItem(Qt::Key_F, {Qt::Key_S, Qt::Key_A});
        QVERIFY(QFile::exists(QString::fromStdString(path + ".qvd")));
        QCOMPARE(app_->Form().CurFileName(), path + ".qvd");
        QCOMPARE(app_->History().ListBox_TiTle()->count(), 1);
        QCOMPARE(app_->History().ListBox_TiTle()->item(0)->text(), QStringLiteral("蔵書一覧"));
    }

    void fileMenuHelpOpensTheContents() {
        ChooseMenuItem(Qt::Key_F, {Qt::Key_H});
        HelpViewer* help = app_->Windows().Help();
        QVERIFY(help != nullptr);
        QVERIFY(help->isVisible());
        QCOMPARE(help->CurrentTopic(), help->Book().topics.front().id);
        QVERIFY(!help->Finder()->isVisible());
    }

    void fileMenuAboutShowsTheAboutBox() {
        user_->Then(test::Press(Qt::Key_Return));
        ChooseMenuItem(Qt::Key_F, {Qt::Key_A});
        QCOMPARE(user_->seen.size(), std::size_t{1});
        QCOMPARE(user_->seen[0].title, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    }

    void fileMenuExitClosesOnlyTheMainWindow() {
        QSignalSpy closed(&app_->Main(), &MainWindow::Closed);
        ChooseMenuItem(Qt::Key_F, {Qt::Key_X});
        QCOMPARE(closed.count(), 1);
        QVERIFY(!app_->Main().isVisible());
        QVERIFY(app_->History().isVisible());
    }

    void editMenuRowCommands() {
        TableGrid& grid = app_->Form().StringGrid();
        grid.SetCell(1, 1, "a");
        grid.SetCell(1, 2, "b");
        ChooseMenuItem(Qt::Key_E, {Qt::Key_D});  // 現在行を削除
        QCOMPARE(grid.CellText(1, 1), std::string("b"));
        QCOMPARE(app_->Form().StringGrid_Buff().CellText(1, 0), std::string("a"));

        const int32_t rows = grid.RowCount();
        ChooseMenuItem(Qt::Key_E, {Qt::Key_I});  // 新しい行を前に挿入
        QCOMPARE(grid.RowCount(), rows + 1);
        QCOMPARE(grid.CellText(1, 1), std::string());
        QCOMPARE(grid.CellText(1, 2), std::string("b"));

        ChooseMenuItem(Qt::Key_E, {Qt::Key_A});  // 新しい行を次に挿入
        QCOMPARE(grid.RowCount(), rows + 2);
        QCOMPARE(grid.CellText(1, 3), std::string("b"));

        ChooseMenuItem(Qt::Key_E, {Qt::Key_P});  // 削除した行を貼り付け
        QCOMPARE(grid.CellText(1, 1), std::string("a"));
    }

    void editMenuColumnCommands() {
        TableGrid& grid = app_->Form().StringGrid();
        ChooseMenuItem(Qt::Key_E, {Qt::Key_M});  // 列の追加
        QCOMPARE(grid.ColCount(), 4);
        ChooseMenuItem(Qt::Key_E, {Qt::Key_R});  // 列の削除
        QCOMPARE(grid.ColCount(), 3);
    }

    void editMenuClearAllAsksFirst() {
        TableGrid& grid = app_->Form().StringGrid();
        grid.SetCell(1, 1, "a");
        user_->Then(test::Press(Qt::Key_Escape));  // いいえ
        ChooseMenuItem(Qt::Key_E, {Qt::Key_E});
        QCOMPARE(grid.CellText(1, 1), std::string("a"));
        user_->Then(test::Press(Qt::Key_Return));  // はい
        ChooseMenuItem(Qt::Key_E, {Qt::Key_E});
        QCOMPARE(grid.CellText(1, 1), std::string());
        QCOMPARE(user_->seen[0].title, QStringLiteral("確認"));
    }

    void toolsMenuStatistics() {
        app_->Form().StringGrid().SetCell(1, 1, "12");
        user_->Then(test::Press(Qt::Key_Return));
        ChooseMenuItem(Qt::Key_T, {Qt::Key_C});
        QCOMPARE(user_->seen.size(), std::size_t{1});
        QCOMPARE(user_->seen[0].title, QStringLiteral("情報"));
        QVERIFY(user_->seen[0].text.contains(QStringLiteral("12")));
    }

    void toolsMenuMatchCountAndItemName() {
        user_->Then(test::Press(Qt::Key_Escape)).Then(test::Press(Qt::Key_Escape));
        ChooseMenuItem(Qt::Key_T, {Qt::Key_N});
        ChooseMenuItem(Qt::Key_T, {Qt::Key_I});
        QCOMPARE(user_->seen.size(), std::size_t{2});
        QCOMPARE(user_->seen[0].title, QStringLiteral("検索"));
        QCOMPARE(user_->seen[1].title, QStringLiteral("項目名入力"));
    }

    // --- The toolbar ---

    void toolbarTitleListAndSave() {
        app_->Windows().HideTitleListWindow();
        ClickSpeedButton(0);
        QVERIFY(app_->History().isVisible());
        user_->Then(test::Press(Qt::Key_Escape));
        ClickSpeedButton(1);
        QCOMPARE(user_->seen.size(), std::size_t{1});
        QCOMPARE(user_->seen[0].title, QStringLiteral("データの保存"));
    }

    void toolbarRowCommandsKeepTheFocus() {
        TableGrid& grid = app_->Form().StringGrid();
        app_->Main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app_->Main()));
        app_->Main().Grid()->setFocus();
        grid.SetCell(1, 1, "a");
        const int32_t rows = grid.RowCount();
        ClickSpeedButton(2);  // 現在行の次に行を挿入
        QCOMPARE(grid.RowCount(), rows + 1);
        QCOMPARE(grid.CellText(1, 1), std::string("a"));
        ClickSpeedButton(3);  // 現在行の削除
        QCOMPARE(app_->Form().StringGrid_Buff().CellText(1, 0), std::string("a"));
        QCOMPARE(QApplication::focusWidget(), app_->Main().Grid());
    }

    void toolbarCalculatorAndHelp() {
        user_->Then(test::Press(Qt::Key_Return));
        ClickSpeedButton(4);
        QCOMPARE(user_->seen.size(), std::size_t{1});
        QCOMPARE(user_->seen[0].title, QStringLiteral("情報"));
        ClickSpeedButton(5);
        HelpViewer* help = app_->Windows().Help();
        QVERIFY(help != nullptr && help->isVisible());
        QVERIFY(help->Finder()->isVisible());
    }

    void toolbarExitClosesBothWindows() {
        QSignalSpy closed(&app_->Main(), &MainWindow::Closed);
        ClickSpeedButton(6);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!app_->History().isVisible());
        QVERIFY(!app_->Main().isVisible());
    }

    void failingCommandShowsTheFailureBox() {
        user_->Then(test::ChooseFile(stores_->Path("missing.qvd")))
            .Then(test::Press(Qt::Key_Return));
        ChooseMenuItem(Qt::Key_F, {Qt::Key_O});
        QCOMPARE(user_->seen.size(), std::size_t{2});
        QCOMPARE(user_->seen[1].title, QStringLiteral("Quorvane 1.00"));
        QCOMPARE(user_->seen[1].text, QStringLiteral("ﾌｧｲﾙが見つかりません."));
        QVERIFY(app_->Main().isVisible());
    }

private:
    // Types each character as a key press that carries its text, as a keyboard or an input
    // method would.
    static void Type(QWidget* widget, const QString& text) {
        for (int i = 0; i < text.size(); ++i) {
            const int length = text[i].isHighSurrogate() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length),
                                Qt::NoModifier);
            i += length - 1;
        }
    }

    // Opens a menu with Alt and its access letter, then presses the access letters of the items
    // (a submenu's letter first).
    void ChooseMenuItem(Qt::Key menu, std::initializer_list<Qt::Key> items) {
        MainWindow& main = app_->Main();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(&main, menu, Qt::AltModifier);
        for (Qt::Key item : items) {
            QWidget* popup = QApplication::activePopupWidget();
            QVERIFY2(popup != nullptr, "no menu open");
            QTest::keyClick(popup, item);
        }
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    }

    void ClickSpeedButton(std::size_t index) {
        QTest::mouseClick(app_->Main().SpeedButtons()[index], Qt::LeftButton);
    }

    std::unique_ptr<test::TempStores> stores_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<test::ScriptedUser> user_;
};

}  // namespace qv

QTEST_MAIN(qv::MainWindowTest)
#include "main_window_test.moc"
