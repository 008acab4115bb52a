// The whole program: its window titles, the title list window (its one opening by itself, its
// buttons, reopening and deleting a table by its title), what the settings and history files
// get at the two ways out, and failures in event handlers.

#include <functional>
#include <optional>
#include <stdexcept>

#include "gui/import_dialog.h"
#include "gui/window_placement.h"
#include "gui_test_support.h"
#include "platform/failure.h"
#include "table_file_examples.h"

namespace qv {

namespace {

// A window whose event handlers raise, each in its own way.
class FailingWindow : public QWidget {
public:
    bool failPainting = false;

protected:
    void mousePressEvent(QMouseEvent*) override { throw Failure("押せません"); }
    void keyPressEvent(QKeyEvent*) override { throw std::bad_alloc(); }
    void inputMethodEvent(QInputMethodEvent*) override { throw std::runtime_error("IME"); }
    void timerEvent(QTimerEvent* event) override {
        killTimer(event->timerId());
        throw Failure("時間切れ");
    }
    void paintEvent(QPaintEvent*) override {
        if (failPainting) {
            throw Failure("描けません");
        }
    }
};

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

    // The windows' titles are exact, nothing appended (the dialogs' are checked as
    // main_window_test opens them). The title list window opens once by itself, with its
    // buttons in order and the focus on 選択; Tab goes round them; its close button stores its
    // place (exactly: see geometryIsStoredAtExitAndShownOnTheScreenAtTheNextStart).
    void windowTitlesAndTheTitleListWindowOpeningOnceByItself() {
        StartProgram();
        QCOMPARE(p_->app.Main().windowHandle()->title(), QStringLiteral("Quorvane Ver1.00"));
        QCOMPARE(p_->app.TitleList().windowHandle()->title(),
                 QStringLiteral("タイトル一覧（保存履歴）"));
        TitleListWindow& window = p_->app.TitleList();
        const QWidget* buttons[] = {window.EraseButton(), window.DeleteButton(),
                                    window.SelectButton(), window.CloseButton()};
        const QStringList captions = {"消去(&E)", "削除(&D)", "選択(&S)", "閉じる(&X)"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(static_cast<const QPushButton*>(buttons[i])->text(), captions[i]);
            QVERIFY(i == 0 || buttons[i]->x() > buttons[i - 1]->geometry().right());
        }
        QCOMPARE(QApplication::focusWidget(), window.SelectButton());
        const QWidget* order[] = {buttons[3], buttons[0], buttons[1], window.TitleListBox(),
                                  buttons[2]};
        for (const QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::mouseClick(window.CloseButton(), Qt::LeftButton);
        QTRY_VERIFY(p_->app.Main().isActiveWindow());
        QTest::qWait(50);
        QVERIFY(!window.isVisible() && QFile::exists(stores_->Stores().settingsFile.c_str()));
    }

    // The toolbar's exit stores both windows; the next run restores them, the main window with
    // its size in the middle of the screen. Stored places and sizes far off any screen: each
    // window shows no larger than the screen's free area with its title bar on it, and, not
    // moved, is stored back as it was read.
    void geometryIsStoredAtExitAndShownOnTheScreenAtTheNextStart() {
        StartProgram();
        p_->app.Windows().SetMainWindowGeometry({40, 50, 520, 400});
        p_->app.Windows().SetTitleListWindowGeometry({60, 70, 350, 250});
        QTest::mouseClick(p_->app.Main().SpeedButtons()[6], Qt::LeftButton);
        p_.reset();
        StartProgram();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(p_->app.Main().frameGeometry(),
                 QRect((screen.width() - 520) / 2, (screen.height() - 400) / 2, 520, 400));
        QCOMPARE(p_->app.TitleList().frameGeometry(), QRect(60, 70, 350, 250));
        p_.reset();
        const std::string stored =
            "[Main]\r\nLeft=0\r\nTop=0\r\nWidth=2147483647\r\nHeight=2147483647\r\n"
            "[Title]\r\nLeft=-2147483648\r\nTop=-2147483648\r\nWidth=335\r\nHeight=177\r\n";
        test::WriteTestFile(stores_->Stores().settingsFile, stored);
        StartProgram();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        for (const QWidget* window : {static_cast<QWidget*>(&p_->app.Main()),
                                      static_cast<QWidget*>(&p_->app.TitleList())}) {
            const QRect frame = window->frameGeometry();
            QVERIFY(frame.width() <= area.width() && frame.height() <= area.height());
            QVERIFY(frame.top() >= area.top());
            QVERIFY(area.intersected(QRect(frame.topLeft(), QSize(frame.width(), 1))).width() >=
                    std::min(100, frame.width()));
        }
        QTest::mouseClick(p_->app.Main().SpeedButtons()[6], Qt::LeftButton);
        QCOMPARE(test::ReadTestFile(stores_->Stores().settingsFile), stored);
    }

    // A settings file that cannot be written: each way out shows the failure, and "終了(&X)" and
    // the close box then ask whether to end without storing; No keeps both windows, Yes ends.
    void aFailedCloseAsksWhetherToEndWithoutStoring() {
        const std::string settings = stores_->Path("missing/Quorvane.ini");
        p_.emplace(StoreLocations{settings, stores_->Stores().historyFile});
        p_->Start();
        const QString failure =
            QString::fromStdString(settings) + QStringLiteral(" に書き込めません.");
        const QString question =
            QStringLiteral("タイトル一覧とウィンドウの位置を保存せずに終了しますか？");
        p_->user.Then(test::Press(Qt::Key_Return)).Then(test::Press(Qt::Key_Escape));
        QVERIFY(!p_->app.Main().close());
        p_->user.Then(test::Press(Qt::Key_Return));  // the toolbar's exit: the failure only
        QTest::mouseClick(p_->app.Main().SpeedButtons()[6], Qt::LeftButton);
        QVERIFY(p_->app.Main().isVisible());
        QVERIFY(p_->app.TitleList().isVisible());
        p_->user.Then(test::Press(Qt::Key_Return)).Then(test::Press(Qt::Key_Return));
        QVERIFY(p_->app.Main().close());
        QStringList seen;
        std::transform(p_->user.seen.begin(), p_->user.seen.end(), std::back_inserter(seen),
                       [](const test::ScriptedUser::Seen& box) { return box.text; });
        QCOMPARE(seen, QStringList({failure, question, failure, failure, question}));
        QCOMPARE(p_->user.seen[1].title, QStringLiteral("確認"));
        QVERIFY(!QFile::exists(QString::fromStdString(settings)));
    }

    // Whatever an event handler raises shows in the failure box, from the event loop, and the
    // program carries on; a painter that fails at every paint is reported once.
    void aFailureInAnyEventHandlerShowsAndTheProgramCarriesOn() {
        StartProgram();
        FailingWindow window;
        window.resize(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // clang-format off
        const std::pair<std::function<void()>, const char*> failures[] = {
            {[&] { QTest::mouseClick(&window, Qt::LeftButton); }, "押せません."},
            {[&] { QTest::keyClick(&window, Qt::Key_A); }, "メモリが足りません."},
            {[&] { QInputMethodEvent typed(QString(), {});
                   typed.setCommitString(QStringLiteral("あ"));
                   QApplication::sendEvent(&window, &typed); }, "IME."},
            {[&] { window.startTimer(0); }, "時間切れ."},
            {[&] { window.failPainting = true; window.repaint(); window.repaint(); }, "描けません."}};
        // clang-format on
        for (const auto& [fail, text] : failures) {
            p_->user.Then(test::Press(Qt::Key_Return));
            fail();
            QTRY_VERIFY(p_->user.script.empty());
            QCOMPARE(p_->user.seen.back().title, QStringLiteral("Quorvane 1.00"));
            QCOMPARE(p_->user.seen.back().text, QString::fromUtf8(text));
        }
        window.repaint();
        QTest::qWait(20);
        QCOMPARE(p_->user.seen.size(), std::size(failures));
        window.failPainting = false;
        p_->Form().Rows().AddColumn();
        QCOMPARE(p_->Grid().ColCount(), 4);
    }

    // A title with a line feed shows on one row as high as the others and keeps its line feed.
    // A table is reopened by double-clicking its title; 削除 asks, and Enter deletes the entry and
    // moves the table to the desktop's trash.
    void titleListReopensShowsOnOneRowAndDeletesAfterAsking() {
        const std::string path = stores_->Path("t.qvd");
        test::WriteTestFile(path, test::ExampleTableFile());
        StartProgram();
        p_->Form().Files().Titles().Append(test::Sjis("/二行の\n題名"), test::Sjis("二行の\n題名"));
        p_->Form().Files().Titles().Append(path, std::string(test::kKaimono));
        p_->app.Windows().TitleListChanged();
        p_->app.Windows().ShowTitleListWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p_->app.TitleList()));
        QListWidget* list = p_->app.TitleList().TitleListBox();
        QCOMPARE(list->item(0)->text(), QStringLiteral("二行の 題名"));
        QCOMPARE(list->visualItemRect(list->item(0)).height(),
                 list->visualItemRect(list->item(1)).height());
        QCOMPARE(p_->Form().Files().Titles().Title(0), test::Sjis("二行の\n題名"));
        const QPoint title = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, title);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, title);
        QCOMPARE(p_->app.Main().EditTitle()->text(), QStringLiteral("買い物"));
        QVERIFY(p_->app.TitleList().isVisible());
        p_->user.Then(test::Press(Qt::Key_Return));
        QTest::mouseClick(p_->app.TitleList().DeleteButton(), Qt::LeftButton);
        QCOMPARE(p_->user.seen.back().title, QStringLiteral("確認"));
        QCOMPARE(list->count(), 1);
        QVERIFY(!QFile::exists(QString::fromStdString(path)));
        // In the desktop's trash, with the record a file manager restores it from.
        const std::string trash = (test::TestHome() + "/data/Trash/").toStdString();
        QVERIFY(test::ReadTestFile(trash + "files/t.qvd").starts_with("Quorvane\r\n"));
        const std::string info = test::ReadTestFile(trash + "info/t.qvd.trashinfo");
        QVERIFY2(info.find("Path=" + path) != std::string::npos, info.c_str());
    }

    // A slow load cancelled with Esc on its progress dialog leaves everything as it was; a save's
    // dialog has no button and Esc on it changes nothing: the whole table is written. The
    // loads and saves are slowed down by a timer that sleeps whenever events go through.
    void slowLoadsCancelAndSlowSavesDoNot() {
        const std::string big = stores_->Path("big.qvd");
        StartProgram();
        MainForm& form = p_->Form();
        form.Document().UnrecordedTable().SetColCount(9);  // about 11 MB
        form.Document().UnrecordedTable().SetRowCount(100'000);
        for (int32_t cell = 0; cell < 8 * 100'000; ++cell) {
            form.Document().UnrecordedTable().SetCell(1 + cell % 8, cell / 8,
                                                      "cell " + std::to_string(cell));
        }
        form.SetCurFileName(big);
        QCOMPARE(SlowlyRun(20, [&form] { form.Files().SaveFile(); }), std::string("no button"));
        QVERIFY(test::ReadTestFile(big).ends_with("\r\ncell 799999\r\n"));
        form.SetEditTitle("mine");
        form.Document().UnrecordedTable().SetCell(1, 1, "own cell");
        form.Files().RequestLoad(big);
        QCOMPARE(SlowlyRun(100, [&form] { form.Files().LoadTableFile(); }), std::string("button"));
        // What else a cancelled load leaves as it was is main_form_files_test's.
        QCOMPARE(form.EditTitle() + form.Table().CellText(1, 1), std::string("mineown cell"));
    }

    // The file named on the command line opens once the program has started; a CSV file dropped
    // on the main window goes through the import dialog, whose preview follows the delimiter.
    void commandLineFileOpensAndDroppedCsvImports() {
        const std::string table = stores_->Path("t.qvd"), csv = stores_->Path("d.csv");
        test::WriteTestFile(table, test::ExampleTableFile());
        test::WriteTestFile(csv, "a;b,c\r\n1;2,3\r\n");
        p_.emplace(stores_->Stores());
        p_->app.Start(table);
        QTRY_COMPARE(p_->Form().CurFileName(), table);
        QStringList headers;
        p_->user.Then([&headers](QDialog& dialog) {
            auto& import = static_cast<ImportDialog&>(dialog);
            test::ShowActive(dialog);
            for (int press = 0; press <= 2; ++press) {  // comma, tab, semicolon
                const QTableWidget* preview = import.Preview();
                headers << preview->horizontalHeaderItem(preview->columnCount() - 1)->text();
                QTest::keyClick(import.DelimiterBox(), Qt::Key_Down);
            }
            return test::PressKey(dialog, Qt::Key_Return);
        });
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(csv))});
        QDragEnterEvent enter(QPoint(9, 9), Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(9, 9), Qt::CopyAction, &data, Qt::LeftButton, {});
        QVERIFY(p_->app.Main().acceptDrops() && QApplication::sendEvent(&p_->app.Main(), &enter));
        QVERIFY(enter.isAccepted());
        QApplication::sendEvent(&p_->app.Main(), &drop);
        QTRY_COMPARE(p_->Grid().CellText(2, 1), std::string("2,3"));
        QCOMPARE(headers, QStringList({"c", "a;b,c", "b,c"}));
        QCOMPARE(p_->Form().EditTitle() + p_->Form().CurFileName(), std::string("d"));
    }

    // Five starts, each opening the table file named on the command line and saving it, leave
    // the window's place and size in it as they were, also when the window manager frames the
    // window only after the file has set them: the frame is put where the file says.
    void aWindowFramedLateKeepsThePlaceItWasGiven() {
        const std::string table = stores_->Path("t.qvd");
        test::WriteTestFile(table, test::ExampleTableFile());
        bool framed = false;
        SetFrameProbeForTesting(
            [&framed](const QWidget&) { return framed ? QMargins(1, 20, 1, 5) : QMargins(); });
        const auto unprobed = qScopeGuard([] { SetFrameProbeForTesting({}); });
        for (int start = 0; start < 5; ++start) {
            framed = false;
            p_.emplace(stores_->Stores());
            p_->app.Start(table);
            QTRY_COMPARE(p_->Form().CurFileName(), table);
            framed = true;
            QTRY_COMPARE(p_->app.Main().geometry(), QRect(295, 231, 274, 222));
            p_->Form().Files().SaveFile();
            QCOMPARE(test::ReadTestFile(table), test::ExampleTableFile());
        }
    }

private:
    // Runs the command sleeping `sleepMs` at every turn of the event loop, pressing Esc on the
    // progress dialog when one shows; tells whether it had a button, or "none" if none showed.
    std::string SlowlyRun(unsigned long sleepMs, const std::function<void()>& command) {
        std::string shown = "none";
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&shown, sleepMs] {
            QThread::msleep(sleepMs);
            auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (dialog != nullptr && dialog->isVisible() && !dialog->wasCanceled()) {
                shown = dialog->findChildren<QPushButton*>().isEmpty() ? "no button" : "button";
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        timer.start(0);
        [&] { QVERIFY(p_->app.Windows().RunCommand(command)); }();
        return shown;
    }
    void StartProgram() {
        p_.emplace(stores_->Stores());
        p_->Start();
    }

    std::optional<test::TempStores> stores_;
    std::optional<test::Program> p_;
};

}  // namespace qv

QV_PROGRAM_TEST_MAIN(qv::ApplicationTest)
#include "application_test.moc"
