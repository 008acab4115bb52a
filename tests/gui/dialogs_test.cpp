// The about box and the two tool dialogs: their design, their default and cancel buttons, the
// first focus, and what OK does to the table.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "app/main_form.h"
#include "gui/about_box.h"
#include "gui/application.h"
#include "gui/item_name_dialog.h"
#include "gui/match_count_dialog.h"
#include "gui/qt_window_system.h"
#include "gui_test_support.h"
#include "platform/cp932.h"

namespace qv {

namespace {

std::string Sjis(const char* utf8) {
    return *Utf8ToCp932(utf8);
}

void ExpectCentred(const QWidget& dialog) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(dialog.frameGeometry().x(), (screen.width() - dialog.frameGeometry().width()) / 2);
    QCOMPARE(dialog.frameGeometry().y(), (screen.height() - dialog.frameGeometry().height()) / 2);
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }

    void init() {
        stores_ = std::make_unique<test::TempStores>();
        app_ = std::make_unique<Application>(stores_->Stores(), ".");
        user_ = std::make_unique<test::ScriptedUser>(app_->Windows());
    }

    void cleanup() {
        QCOMPARE(user_->unexpected, 0);
        QVERIFY(user_->script.empty());
        user_.reset();
        app_.reset();
        stores_.reset();
    }

    // --- 項目名入力 ---

    void itemNameDialogDesign() {
        ItemNameDialog& dialog = app_->ItemName();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("項目名入力"));
        QCOMPARE(dialog.size(), QSize(194, 65));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.OKBtn()->geometry(), QRect(22, 34, 74, 24));
        QCOMPARE(dialog.CancelBtn()->geometry(), QRect(101, 34, 73, 24));
        QCOMPARE(dialog.CancelBtn()->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QCOMPARE(dialog.EditColName()->geometry(), QRect(8, 8, 177, 20));
        QVERIFY(dialog.OKBtn()->isDefault());
        QCOMPARE(dialog.font().pixelSize(), 12);
    }

    void itemNameEnterAtFirstOpeningKeepsTheName() {
        TableGrid& grid = app_->Form().StringGrid();
        grid.SetCell(1, 0, Sjis("書名"));
        user_->Then([&](QDialog& dialog) {
            test::ShowActive(dialog);
            auto& names = static_cast<ItemNameDialog&>(dialog);
            // The focus starts on OK; the tab order is OK, Cancel, the box.
            ExpectFocus(names.OKBtn());
            ExpectText(names.EditColName(), QStringLiteral("書名"));
            ExpectCentred(dialog);
            QTest::keyClick(names.OKBtn(), Qt::Key_Tab);
            ExpectFocus(names.CancelBtn());
            QTest::keyClick(names.CancelBtn(), Qt::Key_Tab);
            ExpectFocus(names.EditColName());
            QTest::keyClick(names.EditColName(), Qt::Key_Tab);
            ExpectFocus(names.OKBtn());
            QTest::keyClick(names.OKBtn(), Qt::Key_Return);
            return dialog.result();
        });
        app_->Form().K19Click();
        QCOMPARE(grid.CellText(1, 0), Sjis("書名"));
    }

    void itemNameOkStoresTheTypedName() {
        TableGrid& grid = app_->Form().StringGrid();
        grid.SetCell(2, 0, "old");
        QVERIFY(grid.SetCurrentCell({2, 1}));
        user_->Then([](QDialog& dialog) {
            auto& names = static_cast<ItemNameDialog&>(dialog);
            test::ShowActive(dialog);
            names.EditColName()->setFocus();
            names.EditColName()->selectAll();
            QTest::keyClicks(names.EditColName(), QStringLiteral(" new "));
            QTest::keyClick(names.EditColName(), Qt::Key_Return);  // Enter presses OK
            return dialog.result();
        });
        app_->Form().K19Click();
        QCOMPARE(grid.CellText(2, 0), std::string(" new "));
    }

    void itemNameCancelLeavesTheNameAndRefillsNextTime() {
        TableGrid& grid = app_->Form().StringGrid();
        grid.SetCell(1, 0, "name");
        user_->Then([](QDialog& dialog) {
            auto& names = static_cast<ItemNameDialog&>(dialog);
            test::ShowActive(dialog);
            names.EditColName()->setText(QStringLiteral("typed"));
            QTest::keyClick(names.EditColName(), Qt::Key_Escape);
            return dialog.result();
        });
        user_->Then([](QDialog& dialog) {
            auto& names = static_cast<ItemNameDialog&>(dialog);
            test::ShowActive(dialog);
            ExpectText(names.EditColName(), QStringLiteral("name"));
            return test::ClickButton(dialog, QStringLiteral("ｷｬﾝｾﾙ"));
        });
        app_->Form().K19Click();
        app_->Form().K19Click();
        QCOMPARE(grid.CellText(1, 0), std::string("name"));
    }

    void itemNameKeepsBytesThatAreNoCp932() {
        TableGrid& grid = app_->Form().StringGrid();
        const std::string name = "ab\x81";  // a lead byte without its second byte
        grid.SetCell(1, 0, name);
        user_->Then([](QDialog& dialog) {
            auto& names = static_cast<ItemNameDialog&>(dialog);
            test::ShowActive(dialog);
            names.EditColName()->setFocus();
            names.EditColName()->home(false);
            QTest::keyClick(names.EditColName(), Qt::Key_Z);
            QTest::keyClick(names.EditColName(), Qt::Key_Return);
            return dialog.result();
        });
        app_->Form().K19Click();
        QCOMPARE(grid.CellText(1, 0), "z" + name);
    }

    // --- 検索 ---

    void matchCountDialogDesign() {
        MatchCountDialog& dialog = app_->MatchCount();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("検索"));
        QCOMPARE(dialog.size(), QSize(226, 90));
        QCOMPARE(dialog.OKBtn()->geometry(), QRect(30, 58, 74, 24));
        QCOMPARE(dialog.CancelBtn()->geometry(), QRect(125, 58, 73, 24));
        QCOMPARE(dialog.EditChkStr()->geometry(), QRect(24, 24, 177, 20));
        const auto* label = dialog.findChild<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(label->text(), QStringLiteral("一致文字列"));
        QCOMPARE(label->pos(), QPoint(24, 8));
        QVERIFY(dialog.OKBtn()->isDefault());
    }

    void matchCountReportsBeforeTheDialogCloses() {
        TableGrid& grid = app_->Form().StringGrid();
        grid.SetCell(1, 1, Sjis("猫"));
        grid.SetCell(1, 2, Sjis("  猫 "));
        grid.SetCell(1, 3, Sjis("犬"));
        bool dialogOpenAtReport = false;
        user_->Then([&](QDialog& dialog) {
            auto& find = static_cast<MatchCountDialog&>(dialog);
            test::ShowActive(dialog);
            ExpectFocus(find.OKBtn());
            find.EditChkStr()->setText(QStringLiteral("猫"));
            QTest::mouseClick(find.OKBtn(), Qt::LeftButton);
            return dialog.result();
        });
        user_->Then([&](QDialog& report) {
            dialogOpenAtReport = app_->MatchCount().isVisible();
            return test::PressKey(report, Qt::Key_Return);
        });
        app_->Form().K25Click();
        QVERIFY(dialogOpenAtReport);
        QCOMPARE(user_->seen.size(), std::size_t{2});
        QCOMPARE(user_->seen[1].title, QStringLiteral("情報"));
        QCOMPARE(user_->seen[1].text, QStringLiteral("2 件一致しました。"));
    }

    void matchCountKeepsItsTextAndCancelCountsNothing() {
        app_->MatchCount().EditChkStr()->setText(QStringLiteral("abc"));
        user_->Then(test::Press(Qt::Key_Escape));
        user_->Then([](QDialog& dialog) {
            auto& find = static_cast<MatchCountDialog&>(dialog);
            test::ShowActive(dialog);
            ExpectText(find.EditChkStr(), QStringLiteral("abc"));
            QTest::keyClick(find.OKBtn(), Qt::Key_Return);
            return dialog.result();
        });
        user_->Then(test::Press(Qt::Key_Return));
        app_->Form().K25Click();
        QCOMPARE(user_->seen.size(), std::size_t{1});  // Esc: no report
        app_->Form().K25Click();
        QCOMPARE(user_->seen.size(), std::size_t{3});
        QCOMPARE(user_->seen[2].text, QStringLiteral("0 件一致しました。"));
    }

    // --- ﾊﾞｰｼﾞｮﾝ情報 ---

    void aboutBoxDesign() {
        AboutBox& about = app_->About();
        QCOMPARE(about.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(about.size(), QSize(294, 113));
        QCOMPARE(about.OKButton()->geometry(), QRect(118, 87, 64, 22));
        QVERIFY(about.OKButton()->isDefault());
        QCOMPARE(about.ProductName()->text(), QStringLiteral("Quorvane"));
        QCOMPARE(about.Version()->text(), QStringLiteral("Version 1.00"));
        const auto* panel = about.findChild<QWidget*>(QStringLiteral("Panel1"));
        QCOMPARE(panel->geometry(), QRect(8, 8, 273, 73));
        const auto* icon = about.findChild<QLabel*>(QStringLiteral("ProgramIcon"));
        QCOMPARE(icon->geometry(), QRect(8, 8, 33, 33));
        QVERIFY(about.Version()->x() > about.ProductName()->geometry().right());
    }

    void aboutBoxClosesWithEnterOrItsCloseBox() {
        user_->Then([](QDialog& dialog) {
            test::ShowActive(dialog);
            auto& about = static_cast<AboutBox&>(dialog);
            ExpectFocus(about.OKButton());
            ExpectCentred(dialog);
            QTest::keyClick(about.OKButton(), Qt::Key_Return);
            return dialog.result();
        });
        user_->Then([](QDialog& dialog) {
            test::ShowActive(dialog);
            dialog.close();
            return dialog.result();
        });
        app_->Form().KQuorvane1Click();
        QVERIFY(!app_->About().isVisible());
        app_->Form().KQuorvane1Click();
        QVERIFY(!app_->About().isVisible());
    }

private:
    // Checks made while a dialog is open, inside the scripted user's actions.
    static void ExpectFocus(const QWidget* widget) {
        QCOMPARE(QApplication::focusWidget(), widget);
    }
    static void ExpectText(const QLineEdit* box, const QString& text) {
        QCOMPARE(box->text(), text);
    }

    std::unique_ptr<test::TempStores> stores_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<test::ScriptedUser> user_;
};

}  // namespace qv

QTEST_MAIN(qv::DialogsTest)
#include "dialogs_test.moc"
