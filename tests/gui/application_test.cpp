// The whole program: its window titles, the title list window's one opening by itself, what
// the settings and history files get at the two ways out, and reopening a table by its title.

#include <optional>

#include "gui/about_box.h"
#include "gui/item_name_dialog.h"
#include "gui/match_count_dialog.h"
#include "gui_test_support.h"

namespace qv {

namespace {

bool Holds(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }
    void init() { stores_.emplace(); }
    void cleanup() {
        p_.reset();
        stores_.reset();
    }

    void windowTitlesAreExact() {
        StartProgram();
        const std::pair<QWidget*, const char*> windows[] = {
            {&p_->app.Main(), "Quorvane Ver1.00"},
            {&p_->app.About(), "ﾊﾞｰｼﾞｮﾝ情報"},
            {&p_->app.ItemName(), "項目名入力"},
            {&p_->app.MatchCount(), "検索"},
            {&p_->app.TitleList(), "タイトル一覧（保存履歴）"},
        };
        for (const auto& [window, title] : windows) {
            QCOMPARE(window->windowTitle(), QString::fromUtf8(title));
        }
        // Nothing is appended to the titles the window system shows.
        QCOMPARE(p_->app.Main().windowHandle()->title(), QStringLiteral("Quorvane Ver1.00"));
        QCOMPARE(p_->app.TitleList().windowHandle()->title(),
                 QStringLiteral("タイトル一覧（保存履歴）"));
    }

    void titleListWindowOpensOnceByItself() {
        StartProgram();
        QVERIFY(!p_->Form().FirstActivate());
        QCOMPARE(QApplication::focusWidget(), p_->app.TitleList().SelectButton());
        QTest::mouseClick(p_->app.TitleList().CloseButton(), Qt::LeftButton);
        QTRY_VERIFY(p_->app.Main().isActiveWindow());
        QTest::qWait(50);
        QVERIFY(!p_->app.TitleList().isVisible());
    }

    // The toolbar's exit stores both windows; the next run restores them, the main window with
    // its size in the middle of the screen.
    void geometryIsWrittenAtExitAndRestoredAtTheNextStart() {
        StartProgram();
        p_->app.Windows().SetMainWindowGeometry({40, 50, 520, 400});
        p_->app.Windows().SetTitleListWindowGeometry({60, 70, 350, 250});
        QTest::mouseClick(p_->app.Main().SpeedButtons()[6], Qt::LeftButton);
        const std::string settings = test::ReadFile(stores_->Stores().settingsFile);
        QVERIFY(Holds(settings, "[Main]\r\nLeft=40\r\nTop=50\r\nWidth=520\r\nHeight=400\r\n"));
        QVERIFY(Holds(settings, "[Title]\r\nLeft=60\r\nTop=70\r\nWidth=350\r\nHeight=250\r\n"));

        p_.reset();
        StartProgram();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(p_->app.Main().frameGeometry(),
                 QRect((screen.width() - 520) / 2, (screen.height() - 400) / 2, 520, 400));
        QCOMPARE(p_->app.TitleList().frameGeometry(), QRect(60, 70, 350, 250));
    }

    // "終了(&X)" ends the program as the close box does: the title list window stays as it is
    // until the program goes, and its section in the settings file too.
    void exitMenuItemLeavesTheTitleSectionAsItWas() {
        const char* const title = "[Title]\r\nLeft=1\r\nTop=2\r\nWidth=300\r\nHeight=200\r\n";
        test::WriteFile(stores_->Stores().settingsFile, title);
        p_.emplace(stores_->Stores());
        p_->app.EndEventLoopWithMainWindow();
        p_->Start();
        p_->app.Windows().SetTitleListWindowGeometry({60, 70, 350, 250});
        QTimer::singleShot(0, &p_->app.Main(), [this] { p_->Form().Exit(); });
        // A second exit stops a loop that the main window's closing did not end.
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!p_->app.Main().isVisible());
        QVERIFY(p_->app.TitleList().isVisible());
        const std::string settings = test::ReadFile(stores_->Stores().settingsFile);
        QVERIFY(Holds(settings, title));
        QVERIFY(Holds(settings, "[Main]"));
    }

    // A settings file that cannot be written stops every way out: the failure is shown and both
    // windows stay, so nothing is lost.
    void aFailedCloseKeepsTheWindowsOpen() {
        const std::string settings = stores_->Path("missing/Quorvane.ini");
        p_.emplace(StoreLocations{settings, stores_->Stores().historyFile});
        p_->Start();
        p_->user.Then(test::Press(Qt::Key_Return)).Then(test::Press(Qt::Key_Return));
        QVERIFY(!p_->app.Main().close());
        QTest::mouseClick(p_->app.Main().SpeedButtons()[6], Qt::LeftButton);
        QVERIFY(p_->app.Main().isVisible());
        QVERIFY(p_->app.TitleList().isVisible());
        QCOMPARE(p_->user.seen.size(), std::size_t{2});
        for (const test::ScriptedUser::Seen& seen : p_->user.seen) {
            QCOMPARE(seen.title, QStringLiteral("Quorvane 1.00"));
            QCOMPARE(seen.text,
                     QString::fromStdString(settings) + QStringLiteral(" に書き込めません."));
        }
    }

    // Saved, emptied, and reopened from the title list; the history file is written at close.
    void reopeningATableByDoubleClickingItsTitle() {
        const std::string path = stores_->Path("books.qvd");
        StartProgram();
        p_->Form().SetEditTitle(test::Sjis("蔵書一覧"));
        p_->Grid().SetCell(1, 1, test::Sjis("吾輩は猫である"));
        p_->user.Then(test::ChooseFile(path));
        p_->Form().SaveFileAs();  // 別名保存
        p_->Grid().SetCell(1, 1, "changed");
        p_->app.Windows().ShowTitleListWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p_->app.TitleList()));
        QListWidget* list = p_->app.TitleList().ListBox_TiTle();
        const QPoint title = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, title);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, title);
        QCOMPARE(p_->Grid().CellText(1, 1), test::Sjis("吾輩は猫である"));
        QCOMPARE(p_->app.Main().EditTitle()->text(), QStringLiteral("蔵書一覧"));
        QCOMPARE(p_->Form().CurFileName(), path);
        QCOMPARE(list->count(), 1);
        QVERIFY(p_->app.Main().close());
        QCOMPARE(test::ReadFile(stores_->Stores().historyFile),
                 path + "\r\n" + test::Sjis("蔵書一覧") + "\r\n");
    }

private:
    void StartProgram() {
        p_.emplace(stores_->Stores());
        p_->Start();
    }

    std::optional<test::TempStores> stores_;
    std::optional<test::Program> p_;
};

}  // namespace qv

QTEST_MAIN(qv::ApplicationTest)
#include "application_test.moc"
