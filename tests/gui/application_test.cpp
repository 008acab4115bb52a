// Start-up, activation and shutdown of the whole program: the five windows, where the main
// window first shows, when its activation handler runs, what the settings file gets, and the
// two ways out.

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "app/main_form.h"
#include "gui/about_box.h"
#include "gui/application.h"
#include "gui/history_window.h"
#include "gui/item_name_dialog.h"
#include "gui/main_window.h"
#include "gui/match_count_dialog.h"
#include "gui/qt_window_system.h"
#include "gui/window_placement.h"
#include "gui_test_support.h"
#include "platform/cp932.h"

namespace qv {

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool HasSection(const std::string& settings, const char* section) {
    return settings.find(std::string("[") + section + "]") != std::string::npos;
}

std::string Sjis(const char* utf8) {
    return *Utf8ToCp932(utf8);
}

// The cell that shows whether the main window's activation handler ran: it renumbers the rows.
constexpr const char* kStaleLabel = "x";

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }

    void init() { stores_ = std::make_unique<test::TempStores>(); }
    void cleanup() {
        if (user_) {
            QCOMPARE(user_->unexpected, 0);
        }
        user_.reset();
        app_.reset();
        stores_.reset();
    }

    void windowTitlesAreExact() {
        Create();
        Start();
        const std::pair<QWidget*, const char*> windows[] = {
            {&app_->Main(), "Quorvane Ver1.00"},
            {&app_->About(), "ﾊﾞｰｼﾞｮﾝ情報"},
            {&app_->ItemName(), "項目名入力"},
            {&app_->MatchCount(), "検索"},
            {&app_->History(), "タイトル一覧（保存履歴）"},
        };
        for (const auto& [window, title] : windows) {
            QCOMPARE(window->windowTitle(), QString::fromUtf8(title));
        }
        // Nothing is appended to the titles the window system shows.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QCOMPARE(app_->Main().windowHandle()->title(), QStringLiteral("Quorvane Ver1.00"));
        QCOMPARE(app_->History().windowHandle()->title(),
                 QStringLiteral("タイトル一覧（保存履歴）"));
    }

    void designGeometryWithoutSettings() {
        Create();
        Start();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect main = app_->Main().frameGeometry();
        QCOMPARE(main.size(), QSize(276, 247));
        QCOMPARE(main.topLeft(), QPoint((screen.width() - 276) / 2, (screen.height() - 247) / 2));
        QCOMPARE(app_->History().frameGeometry(), QRect(254, 147, 335, 177));
    }

    void mainWindowShowsCentredWithItsStoredSize() {
        WriteText(stores_->SettingsPath(),
                  "[Main]\r\nLeft=3\r\nTop=4\r\nWidth=0x1F4\r\nHeight=400\r\n"
                  "[Title]\r\nLeft=20\r\nTop=-1\r\nWidth=$190\r\nHeight=abc\r\n");
        Create();
        Start();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(app_->Main().frameGeometry(),
                 QRect((screen.width() - 500) / 2, (screen.height() - 400) / 2, 500, 400));
        // The title list window stands where it was stored; -1 and a bad value keep the
        // design's.
        QCOMPARE(app_->History().frameGeometry(), QRect(20, 147, 400, 177));
    }

    void centringNeverGoesBelowZero() {
        QCOMPARE(CentredOnScreen({9, 9, 3000, 100}, 1024, 768).left, 0);
        QCOMPARE(CentredOnScreen({9, 9, 100, 3000}, 1024, 768).top, 0);
        const WindowGeometry odd = CentredOnScreen({9, 9, 275, 246}, 1024, 768);
        QCOMPARE(odd.left, 374);  // 749 / 2, truncated
        QCOMPARE(odd.top, 261);
        QCOMPARE(odd.width, 275);
        QCOMPARE(CentredOnScreen({0, 0, INT32_MIN, INT32_MIN}, 1024, 768).left, 1073742336);
    }

    void titleListWindowOpensOnceByItself() {
        Create();
        Start();
        QVERIFY(!app_->Form().FirstActivate());
        // The first focus of the title list window is on 選択(&S).
        QCOMPARE(QApplication::focusWidget(), app_->History().SelectButton());
        QTest::mouseClick(app_->History().CloseButton(), Qt::LeftButton);
        QVERIFY(!app_->History().isVisible());
        QTRY_VERIFY(app_->Main().isActiveWindow());
        QTest::qWait(50);
        QVERIFY(!app_->History().isVisible());
    }

    void comingBackFromTheTitleListRunsTheActivationHandler() {
        Create();
        Start();
        TableGrid& grid = app_->Form().StringGrid();
        QCOMPARE(grid.CellText(0, 1), std::string("  1"));
        grid.SetCell(0, 1, kStaleLabel);
        app_->Main().activateWindow();
        QTRY_COMPARE(grid.CellText(0, 1), std::string("  1"));

        // Closing the title list window returns to the main window the same way.
        app_->History().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app_->History()));
        grid.SetCell(0, 1, kStaleLabel);
        QTest::mouseClick(app_->History().CloseButton(), Qt::LeftButton);
        QTRY_COMPARE(grid.CellText(0, 1), std::string("  1"));
    }

    void comingBackFromAModalWindowRunsNothing() {
        Create();
        Start();
        app_->Main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app_->Main()));
        TableGrid& grid = app_->Form().StringGrid();
        QTest::qWait(20);
        grid.SetCell(0, 1, kStaleLabel);
        user_->Then(test::Press(Qt::Key_Return));
        app_->Form().KQuorvane1Click();
        app_->Main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app_->Main()));
        QTest::qWait(50);
        QCOMPARE(grid.CellText(0, 1), std::string(kStaleLabel));
    }

    void comingBackFromNoWindowRunsNothing() {
        Create();
        Start();
        app_->Main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app_->Main()));
        QTest::qWait(20);
        TableGrid& grid = app_->Form().StringGrid();
        grid.SetCell(0, 1, kStaleLabel);
        // The user switched to another program and back: the program had no active window in
        // between (the offscreen platform never loses it, so the change is told directly).
        app_->History().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app_->History()));
        QTest::qWait(20);
        grid.SetCell(0, 1, kStaleLabel);
        emit qGuiApp->focusWindowChanged(nullptr);
        app_->Main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app_->Main()));
        QTest::qWait(50);
        QCOMPARE(grid.CellText(0, 1), std::string(kStaleLabel));
    }

    void closingStoresTheMainGeometryOnly() {
        Create();
        Start();
        app_->Windows().SetMainWindowGeometry({40, 50, 520, 400});
        QSignalSpy closed(&app_->Main(), &MainWindow::Closed);
        QVERIFY(app_->Main().close());
        QCOMPARE(closed.count(), 1);
        const std::string settings = ReadText(stores_->SettingsPath());
        QVERIFY(settings.find("[Main]\r\nLeft=40\r\nTop=50\r\nWidth=520\r\nHeight=400\r\n") !=
                std::string::npos);
        // Ending through the close box leaves the title list window's section alone.
        QVERIFY(!HasSection(settings, "Title"));

        // The next run restores the size (the place is the screen's middle).
        user_.reset();
        app_.reset();
        Create();
        QCOMPARE(app_->Main().frameGeometry(), QRect(40, 50, 520, 400));
    }

    void exitMenuItemLeavesTheTitleSectionAsItWas() {
        WriteText(stores_->SettingsPath(),
                  "[Title]\r\nLeft=1\r\nTop=2\r\nWidth=300\r\nHeight=200\r\n");
        Create();
        Start();
        app_->Windows().SetTitleListWindowGeometry({60, 70, 350, 250});
        app_->Form().Exit1Click();
        QVERIFY(!app_->Main().isVisible());
        const std::string settings = ReadText(stores_->SettingsPath());
        QVERIFY(settings.find("[Title]\r\nLeft=1\r\nTop=2\r\nWidth=300\r\nHeight=200\r\n") !=
                std::string::npos);
        QVERIFY(HasSection(settings, "Main"));
    }

    void theEventLoopEndsWithoutClosingTheOtherWindows() {
        Create();
        app_->EndEventLoopWithMainWindow();
        Start();
        QTimer::singleShot(0, &app_->Main(), [this] { app_->Form().Exit1Click(); });
        // A second exit stops a loop that the main window's closing did not end.
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!app_->Main().isVisible());
        QVERIFY(app_->History().isVisible());
        QVERIFY(!HasSection(ReadText(stores_->SettingsPath()), "Title"));
    }

    void toolbarExitStoresTheTitleListWindowToo() {
        Create();
        Start();
        app_->Windows().SetTitleListWindowGeometry({60, 70, 350, 250});
        app_->Windows().HideTitleListWindow();
        QSignalSpy closed(&app_->Main(), &MainWindow::Closed);
        app_->Form().SpeedButton3Click();
        QCOMPARE(closed.count(), 1);
        const std::string settings = ReadText(stores_->SettingsPath());
        QVERIFY(settings.find("[Title]\r\nLeft=60\r\nTop=70\r\nWidth=350\r\nHeight=250\r\n") !=
                std::string::npos);
        QVERIFY(HasSection(settings, "Main"));
    }

    void aFailedCloseKeepsTheWindowOpen() {
        Create(StoreLocations{stores_->Path("missing/Quorvane.ini"), stores_->HistoryPath()});
        Start();
        user_->Then(test::Press(Qt::Key_Return));
        QSignalSpy closed(&app_->Main(), &MainWindow::Closed);
        QVERIFY(!app_->Main().close());
        QCOMPARE(closed.count(), 0);
        QVERIFY(app_->Main().isVisible());
        QCOMPARE(user_->seen.size(), std::size_t{1});
        QCOMPARE(user_->seen[0].title, QStringLiteral("Quorvane 1.00"));
        QCOMPARE(user_->seen[0].text,
                 QString::fromStdString(stores_->Path("missing/Quorvane.ini")) +
                     QStringLiteral(" に書き込めません."));

        // The toolbar's exit stops at the title list window: neither window closes.
        user_->Then(test::Press(Qt::Key_Return));
        QTest::mouseClick(app_->Main().SpeedButtons()[6], Qt::LeftButton);
        QCOMPARE(closed.count(), 0);
        QVERIFY(app_->History().isVisible());
        QVERIFY(app_->Main().isVisible());

        // So does the title list window's own close box.
        user_->Then(test::Press(Qt::Key_Return));
        app_->History().close();
        QVERIFY(app_->History().isVisible());
    }

    void reopeningATableByDoubleClickingItsTitle() {
        const std::string path = stores_->Path("books.qvd");
        Create();
        Start();
        app_->Form().SetEditTitle(Sjis("蔵書一覧"));
        app_->Form().StringGrid().SetCell(1, 1, Sjis("吾輩は猫である"));
        user_->Then(test::ChooseFile(path));
        app_->Form().K21Click();
        QVERIFY(QFile::exists(QString::fromStdString(path)));

        user_->Then(test::Press(Qt::Key_Return));  // 全データ消去: はい
        app_->Form().K22Click();
        QCOMPARE(app_->Form().StringGrid().CellText(1, 1), std::string());

        app_->Windows().ShowTitleListWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app_->History()));
        QListWidget* list = app_->History().ListBox_TiTle();
        QCOMPARE(list->count(), 1);
        const QPoint title = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, title);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, title);
        QCOMPARE(app_->Form().StringGrid().CellText(1, 1), Sjis("吾輩は猫である"));
        QCOMPARE(app_->Form().EditTitle(), Sjis("蔵書一覧"));
        QCOMPARE(app_->Main().EditTitle()->text(), QStringLiteral("蔵書一覧"));
        QCOMPARE(app_->Form().CurFileName(), path);
        // The window stays open and the entry keeps its place.
        QVERIFY(app_->History().isVisible());
        QCOMPARE(list->count(), 1);
    }

    void historyIsWrittenAtCloseAndReadAtTheNextStart() {
        const std::string path = stores_->Path("books.qvd");
        Create();
        Start();
        app_->Form().SetEditTitle(Sjis("蔵書一覧"));
        user_->Then(test::ChooseFile(path));
        app_->Form().K21Click();
        QVERIFY(app_->Main().close());
        QCOMPARE(ReadText(stores_->HistoryPath()), path + "\r\n" + Sjis("蔵書一覧") + "\r\n");

        user_.reset();
        app_.reset();
        Create();
        Start();
        QCOMPARE(app_->History().ListBox_TiTle()->count(), 1);
        QCOMPARE(app_->History().ListBox_TiTle()->item(0)->text(), QStringLiteral("蔵書一覧"));
    }

private:
    void Create(std::optional<StoreLocations> stores = std::nullopt) {
        app_ = std::make_unique<Application>(stores.value_or(stores_->Stores()), ".");
        user_ = std::make_unique<test::ScriptedUser>(app_->Windows());
    }

    // Starts the program and waits for the title list window that its first activation opens.
    void Start() {
        app_->Start();
        QTRY_VERIFY(app_->History().isActiveWindow());
    }

    std::unique_ptr<test::TempStores> stores_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<test::ScriptedUser> user_;
};

}  // namespace qv

QTEST_MAIN(qv::ApplicationTest)
#include "application_test.moc"
