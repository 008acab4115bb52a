// The title list window: its layout and focus order, the list it shows, and its four buttons.

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <fstream>

#include "app/main_form.h"
#include "gui/application.h"
#include "gui/history_window.h"
#include "gui/main_window.h"
#include "gui/qt_window_system.h"
#include "gui_test_support.h"
#include "platform/cp932.h"
#include "table/table_file_writer.h"

namespace qv {

namespace {

std::string Sjis(const char* utf8) {
    return *Utf8ToCp932(utf8);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void WriteTable(const std::string& path, const char* title) {
    TableGrid grid(GridShape{3, 6, 1, 1, 32, 18});
    grid.SetCell(1, 1, Sjis(title));
    WriteFile(path, BuildTableFile(grid, Sjis(title), WindowGeometry{10, 20, 400, 300}));
}

}  // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }

    void init() {
        stores_ = std::make_unique<test::TempStores>();
        // Two saved tables, the newest first; the history keeps only entries whose files exist.
        books_ = stores_->Path("books.qvd");
        address_ = stores_->Path("address.qvd");
        WriteTable(books_, "蔵書一覧");
        WriteTable(address_, "住所録 <&>");
        WriteFile(stores_->HistoryPath(), books_ + "\r\n" + Sjis("蔵書一覧") + "\r\n" + address_ +
                                              "\r\n" + Sjis("住所録 <&>") + "\r\n");
        app_ = std::make_unique<Application>(stores_->Stores(), ".");
        user_ = std::make_unique<test::ScriptedUser>(app_->Windows());
        app_->Start();
        QTRY_VERIFY(app_->History().isActiveWindow());
    }

    void cleanup() {
        QCOMPARE(user_->unexpected, 0);
        user_.reset();
        app_.reset();
        stores_.reset();
    }

    void showsTheTitlesDecoded() {
        QListWidget* list = app_->History().ListBox_TiTle();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("蔵書一覧"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("住所録 <&>"));
        QCOMPARE(app_->History().SelectedIndex(), -1);
        QCOMPARE(app_->History().font().pixelSize(), 15);
    }

    void buttonsInOrderInsideTheWindow() {
        HistoryWindow& window = app_->History();
        QCOMPARE(window.frameGeometry().size(), QSize(335, 177));
        const QPushButton* buttons[] = {window.EraseButton(), window.DeleteButton(),
                                        window.SelectButton(), window.CloseButton()};
        const QStringList captions = {"消去(&E)", "削除(&D)", "選択(&S)", "閉じる(&X)"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(buttons[i]->text(), captions[i]);
            QCOMPARE(buttons[i]->height(), 31);
            QVERIFY(buttons[i]->width() <= 88);
            const QRect inWindow(buttons[i]->mapTo(&window, QPoint(0, 0)), buttons[i]->size());
            QVERIFY(window.rect().contains(inWindow));
            if (i > 0) {
                QVERIFY(buttons[i]->x() > buttons[i - 1]->geometry().right());
            }
        }
        // The list fills the window above a 52 pixels high strip.
        QListWidget* list = window.ListBox_TiTle();
        QCOMPARE(list->geometry(), QRect(0, 0, window.width(), window.height() - 52));
        // In a wider window the buttons have their designed width.
        window.resize(500, 200);
        QCOMPARE(window.SelectButton()->width(), 88);
    }

    void focusOrder() {
        HistoryWindow& window = app_->History();
        QCOMPARE(QApplication::focusWidget(), window.SelectButton());
        const QWidget* expected[] = {window.CloseButton(), window.EraseButton(),
                                     window.DeleteButton(), window.ListBox_TiTle(),
                                     window.SelectButton()};
        for (const QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void selectReopensTheSelectedTable() {
        HistoryWindow& window = app_->History();
        QTest::mouseClick(window.SelectButton(), Qt::LeftButton);
        QCOMPARE(app_->Form().CurFileName(), std::string());  // nothing selected: nothing
        window.ListBox_TiTle()->setCurrentRow(1);
        QTest::mouseClick(window.SelectButton(), Qt::LeftButton);
        QCOMPARE(app_->Form().CurFileName(), address_);
        QCOMPARE(app_->Form().SaveDialogFileName(), address_);
        QCOMPARE(app_->Form().EditTitle(), Sjis("住所録 <&>"));
        QCOMPARE(app_->Main().frameGeometry(), QRect(10, 20, 400, 300));
        QVERIFY(window.isVisible());
    }

    void doubleClickWithoutSelectionDoesNothing() {
        QListWidget* list = app_->History().ListBox_TiTle();
        const QPoint belowTheTitles(10, list->viewport()->height() - 5);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, belowTheTitles);
        QCOMPARE(app_->Form().CurFileName(), std::string());
    }

    void deleteAsksThenRemovesTheEntryAndItsFile() {
        HistoryWindow& window = app_->History();
        window.ListBox_TiTle()->setCurrentRow(1);
        user_->Then(test::Press(Qt::Key_Escape));  // いいえ
        QTest::mouseClick(window.DeleteButton(), Qt::LeftButton);
        QCOMPARE(window.ListBox_TiTle()->count(), 2);
        QVERIFY(QFile::exists(QString::fromStdString(address_)));
        QCOMPARE(user_->seen[0].title, QStringLiteral("確認"));
        QCOMPARE(user_->seen[0].text,
                 QStringLiteral("選択された表「 住所録 <&> 」を\n本当に削除しますか？"));

        user_->Then(test::Click(QStringLiteral("はい(&Y)")));
        QTest::mouseClick(window.DeleteButton(), Qt::LeftButton);
        QCOMPARE(window.ListBox_TiTle()->count(), 1);
        QCOMPARE(window.ListBox_TiTle()->item(0)->text(), QStringLiteral("蔵書一覧"));
        QVERIFY(!QFile::exists(QString::fromStdString(address_)));
    }

    void eraseAsksEvenForAnEmptyList() {
        HistoryWindow& window = app_->History();
        user_->Then(test::Press(Qt::Key_Return));  // はい
        QTest::mouseClick(window.EraseButton(), Qt::LeftButton);
        QCOMPARE(window.ListBox_TiTle()->count(), 0);
        QVERIFY(!QFile::exists(QString::fromStdString(stores_->HistoryPath())));
        QVERIFY(QFile::exists(QString::fromStdString(books_)));  // tables stay

        user_->Then(test::Press(Qt::Key_Escape));
        QTest::mouseClick(window.EraseButton(), Qt::LeftButton);
        QCOMPARE(user_->seen.size(), std::size_t{2});
        QCOMPARE(user_->seen[1].text, QStringLiteral("本当にタイトル一覧を全て消去しますか？"));
    }

    void closeButtonStoresTheGeometryAndHides() {
        HistoryWindow& window = app_->History();
        app_->Windows().SetTitleListWindowGeometry({30, 40, 360, 220});
        app_->Form().SetLoadRequest(true);
        QTest::keyClick(window.CloseButton(), Qt::Key_X, Qt::AltModifier);
        QTRY_VERIFY(!window.isVisible());  // an access key clicks the button a moment later
        QVERIFY(!app_->Form().LoadRequest());
        std::ifstream settings(stores_->SettingsPath(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(settings)), {});
        QCOMPARE(text, std::string("[Title]\r\nLeft=30\r\nTop=40\r\nWidth=360\r\nHeight=220\r\n"));
        // Its entries stay for the next showing.
        app_->Form().K6Click();
        QVERIFY(window.isVisible());
        QCOMPARE(window.ListBox_TiTle()->count(), 2);
    }

    void savingPutsTheEntryOnTopAndKeepsTheSelection() {
        HistoryWindow& window = app_->History();
        window.ListBox_TiTle()->setCurrentRow(1);
        app_->Form().SetEditTitle(Sjis("新しい表"));
        user_->Then(test::ChooseFile(stores_->Path("new.qvd")));
        app_->Form().K21Click();
        QCOMPARE(window.ListBox_TiTle()->count(), 3);
        QCOMPARE(window.ListBox_TiTle()->item(0)->text(), QStringLiteral("新しい表"));
        QCOMPARE(window.SelectedIndex(), 2);
    }

private:
    std::unique_ptr<test::TempStores> stores_;
    std::string books_;
    std::string address_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<test::ScriptedUser> user_;
};

}  // namespace qv

QTEST_MAIN(qv::HistoryWindowTest)
#include "history_window_test.moc"
