// The title list window: its buttons and focus order, reopening a table by its title, deleting
// an entry, and where it stores its place.

#include <optional>

#include "gui_test_support.h"
#include "table/main_table_shape.h"
#include "table/table_file_writer.h"

namespace qv {

class TitleListWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }

    // Two saved tables, the newest first: "蔵書一覧" and "住所録 <&>".
    void init() {
        stores_.emplace();
        books_ = stores_->Path("books.qvd");
        address_ = stores_->Path("address.qvd");
        TableGrid grid(kMainTableShape);
        test::WriteFile(books_, BuildTableFile(grid, test::Sjis("蔵書一覧"), {1, 2, 300, 200}));
        test::WriteFile(address_,
                        BuildTableFile(grid, test::Sjis("住所録 <&>"), {10, 20, 400, 300}));
        test::WriteFile(stores_->Stores().historyFile, books_ + "\r\n" + test::Sjis("蔵書一覧") +
                                                           "\r\n" + address_ + "\r\n" +
                                                           test::Sjis("住所録 <&>") + "\r\n");
        p_.emplace(stores_->Stores());
        p_->Start();
    }
    void cleanup() {
        p_.reset();
        stores_.reset();
    }

    void buttonsInOrderAndFocusOrder() {
        TitleListWindow& window = p_->app.TitleList();
        const QPushButton* buttons[] = {window.EraseButton(), window.DeleteButton(),
                                        window.SelectButton(), window.CloseButton()};
        const QStringList captions = {"消去(&E)", "削除(&D)", "選択(&S)", "閉じる(&X)"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(buttons[i]->text(), captions[i]);
            QVERIFY(i == 0 || buttons[i]->x() > buttons[i - 1]->geometry().right());
        }
        QCOMPARE(QApplication::focusWidget(), window.SelectButton());
        const QWidget* order[] = {window.CloseButton(), window.EraseButton(), window.DeleteButton(),
                                  window.ListBox_TiTle(), window.SelectButton()};
        for (const QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void doubleClickReopensTheTable() {
        QListWidget* list = p_->app.TitleList().ListBox_TiTle();
        QCOMPARE(list->item(1)->text(), QStringLiteral("住所録 <&>"));
        const QPoint title = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, title);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, title);
        QCOMPARE(p_->Form().CurFileName(), address_);
        QCOMPARE(p_->Form().EditTitle(), test::Sjis("住所録 <&>"));
        QCOMPARE(p_->app.Main().frameGeometry(), QRect(10, 20, 400, 300));
        QVERIFY(p_->app.TitleList().isVisible());
    }

    // Shown on one row, as high as the others; the title itself keeps its line feed.
    void aTitleWithALineFeedShowsOnOneRow() {
        p_->Form().SetEditTitle(test::Sjis("二行の\n題名"));
        p_->Form().SetCurFileName(books_);
        p_->Form().UpdateHistory();
        p_->app.Windows().TitleListChanged();
        QListWidget* list = p_->app.TitleList().ListBox_TiTle();
        QCOMPARE(list->item(0)->text(), QStringLiteral("二行の 題名"));
        QCOMPARE(list->visualItemRect(list->item(0)).height(),
                 list->visualItemRect(list->item(1)).height());
        QCOMPARE(p_->Form().Titles().Title(0), test::Sjis("二行の\n題名"));
    }

    void deleteAsksThenRemovesTheEntryAndItsFile() {
        TitleListWindow& window = p_->app.TitleList();
        window.ListBox_TiTle()->setCurrentRow(1);
        p_->user.Then(test::Press(Qt::Key_Escape)).Then(test::Press(Qt::Key_Return));
        QTest::mouseClick(window.DeleteButton(), Qt::LeftButton);
        QVERIFY(QFile::exists(QString::fromStdString(address_)));
        QCOMPARE(p_->user.seen[0].text,
                 QStringLiteral("選択された表「 住所録 <&> 」を\n本当に削除しますか？"));
        QTest::mouseClick(window.DeleteButton(), Qt::LeftButton);
        QCOMPARE(window.ListBox_TiTle()->count(), 1);
        QVERIFY(!QFile::exists(QString::fromStdString(address_)));
        // In the desktop's trash, with the record a file manager restores it from.
        const QString trash = test::TestHome() + "/data/Trash/";
        QCOMPARE(test::ReadFile((trash + "files/address.qvd").toStdString()),
                 BuildTableFile(TableGrid(kMainTableShape), test::Sjis("住所録 <&>"),
                                {10, 20, 400, 300}));
        const std::string info =
            test::ReadFile((trash + "info/address.qvd.trashinfo").toStdString());
        QVERIFY2(info.find("Path=" + address_) != std::string::npos, info.c_str());
    }

    void closeButtonStoresTheGeometryInSectionTitle() {
        p_->app.Windows().SetTitleListWindowGeometry({30, 40, 360, 220});
        QTest::mouseClick(p_->app.TitleList().CloseButton(), Qt::LeftButton);
        QVERIFY(!p_->app.TitleList().isVisible());
        QCOMPARE(test::ReadFile(stores_->Stores().settingsFile),
                 std::string("[Title]\r\nLeft=30\r\nTop=40\r\nWidth=360\r\nHeight=220\r\n"));
    }

private:
    std::optional<test::TempStores> stores_;
    std::string books_;
    std::string address_;
    std::optional<test::Program> p_;
};

}  // namespace qv

QTEST_MAIN(qv::TitleListWindowTest)
#include "title_list_window_test.moc"
