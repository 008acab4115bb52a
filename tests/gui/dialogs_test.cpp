// The about box, the two tool dialogs and the message dialog: their default and cancel buttons,
// the first focus, what OK does to the table, and the message dialog's captions and buttons
// (the failure box is seen in the main window's test).

#include <optional>

#include "gui/about_box.h"
#include "gui/item_name_dialog.h"
#include "gui/match_count_dialog.h"
#include "gui_test_support.h"

Q_DECLARE_METATYPE(qv::MessageButton)

namespace qv {

namespace {

constexpr MessageButtons kAllButtons = 0x1FF;

QStringList Captions(const MessageDialog& dialog) {
    QStringList captions;
    for (const QPushButton* button : dialog.ButtonRow()) {
        captions << button->text();
    }
    return captions;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }
    void init() {
        visits_.clear();
        stores_.emplace();
        p_.emplace(stores_->Stores());
    }
    void cleanup() {
        p_.reset();
        stores_.reset();
    }

    // Each opening fills the box from the cell; only OK (Enter, the default) writes it back.
    void itemNameIsFilledAtEachOpeningAndWrittenOnlyOnOk() {
        ItemNameDialog& names = p_->app.ItemName();
        p_->Grid().SetCell(1, 0, test::Sjis("書名"));
        p_->user.Then(Use(names.EditColName(), QStringLiteral("typed"), Qt::Key_Escape))
            .Then(Use(names.EditColName(), QStringLiteral(" new "), Qt::Key_Return));
        p_->Form().OpenItemNameDialog();
        QCOMPARE(p_->Grid().CellText(1, 0), test::Sjis("書名"));
        p_->Form().OpenItemNameDialog();
        QCOMPARE(p_->Grid().CellText(1, 0), std::string(" new "));
        QVERIFY(names.OKBtn()->isDefault());
        QCOMPARE(visits_[0].focus, names.OKBtn());
        QCOMPARE(visits_[0].text, QStringLiteral("書名"));
        QCOMPARE(visits_[1].text, QStringLiteral("書名"));
    }

    // The search box keeps its text between openings; Esc counts nothing, OK counts.
    void matchCountKeepsItsTextAndCountsOnOk() {
        MatchCountDialog& find = p_->app.MatchCount();
        p_->Grid().SetCell(1, 1, test::Sjis("猫"));
        p_->Grid().SetCell(1, 2, test::Sjis("  猫 "));
        p_->Grid().SetCell(1, 3, test::Sjis("犬"));
        p_->user.Then(Use(find.EditChkStr(), QStringLiteral("猫"), Qt::Key_Escape))
            .Then(Use(find.EditChkStr(), QString(), Qt::Key_Return))
            .Then(test::Press(Qt::Key_Return));
        p_->Form().OpenMatchCountDialog();
        QCOMPARE(p_->user.seen.size(), std::size_t{1});  // Esc: no report
        p_->Form().OpenMatchCountDialog();
        QVERIFY(find.OKBtn()->isDefault());
        QCOMPARE(visits_[0].focus, find.OKBtn());
        QCOMPARE(visits_[1].text, QStringLiteral("猫"));
        QCOMPARE(p_->user.seen[2].text, QStringLiteral("2 件一致しました。"));
    }

    void aboutBoxClosesWithEnterOnItsDefaultOk() {
        p_->user.Then(Use(nullptr, QString(), Qt::Key_Return));
        p_->Form().ShowAbout();
        QVERIFY(p_->app.About().OKButton()->isDefault());
        QCOMPARE(visits_[0].focus, p_->app.About().OKButton());
        QCOMPARE(visits_[0].result, int(QDialog::Accepted));
    }

    void captionsByKindAndButtonsInTheirOrder() {
        const std::pair<MessageKind, const char*> kinds[] = {{MessageKind::Warning, "警告"},
                                                             {MessageKind::Error, "ｴﾗｰ"},
                                                             {MessageKind::Information, "情報"},
                                                             {MessageKind::Confirmation, "確認"}};
        for (const auto& [kind, caption] : kinds) {
            const MessageDialog dialog(QStringLiteral("text"), kind, Buttons(MessageButton::OK));
            QCOMPARE(dialog.windowTitle(), QString::fromUtf8(caption));
        }
        const MessageDialog all(QStringLiteral("text"), MessageKind::Warning, kAllButtons);
        QCOMPARE(Captions(all), QStringList({"はい(&Y)", "いいえ(&N)", "OK", "ｷｬﾝｾﾙ", "中止(&A)",
                                             "再試行(&R)", "無視(&I)", "すべて", "ﾍﾙﾌﾟ(&H)"}));
        const MessageDialog two(QStringLiteral("text"), MessageKind::Confirmation,
                                MessageButton::No | MessageButton::Yes);
        QCOMPARE(Captions(two), QStringList({"はい(&Y)", "いいえ(&N)"}));
    }

    void enterEscAndCloseBox_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<MessageButton>("enter");
        QTest::addColumn<MessageButton>("escape");
        using B = MessageButton;
        QTest::newRow("OK") << int(Buttons(B::OK)) << B::OK << B::OK;
        QTest::newRow("yes no") << int(B::Yes | B::No) << B::Yes << B::No;
        QTest::newRow("yes no cancel")
            << ((B::Yes | B::No) | Buttons(B::Cancel)) << B::Yes << B::Cancel;
        QTest::newRow("OK cancel") << int(B::OK | B::Cancel) << B::OK << B::Cancel;
        QTest::newRow("retry cancel") << int(B::Retry | B::Cancel) << B::Retry << B::Cancel;
        QTest::newRow("abort retry ignore")
            << ((B::Abort | B::Retry) | Buttons(B::Ignore)) << B::Retry << B::None;
        QTest::newRow("all") << int(kAllButtons) << B::OK << B::Cancel;
    }
    void enterEscAndCloseBox() {
        QFETCH(int, buttons);
        QFETCH(MessageButton, enter);
        QFETCH(MessageButton, escape);
        const auto asked = static_cast<MessageButtons>(buttons);
        QCOMPARE(MessageDefaultButton(asked), enter);
        QCOMPARE(MessageCancelButton(asked), escape);
        MessageDialog enterDialog(QStringLiteral("Enter"), MessageKind::Confirmation, asked);
        QCOMPARE(test::PressKey(enterDialog, Qt::Key_Return), int(enter));
        if (escape != MessageButton::None) {
            MessageDialog escDialog(QStringLiteral("Esc"), MessageKind::Confirmation, asked);
            QCOMPARE(test::PressKey(escDialog, Qt::Key_Escape), int(escape));
        }
        MessageDialog closeDialog(QStringLiteral("close box"), MessageKind::Confirmation, asked);
        test::ShowActive(closeDialog);
        closeDialog.close();
        QCOMPARE(closeDialog.result(), int(MessageButton::Cancel));
    }

    // A button's access letter answers without Alt (with Shift too); Ctrl, Alt and letters of
    // no button leave the box open. Every box is wide enough for its caption, its icon and its
    // close box in the desktop's bold title font.
    void accessLettersWithoutAltAndCaptionRoom() {
        using B = MessageButton;
        const MessageButtons yesNo = B::Yes | B::No;
        const struct {
            MessageButtons buttons;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            MessageButton answer;
        } cases[] = {
            {yesNo, Qt::Key_Y, Qt::NoModifier, B::Yes},
            {yesNo, Qt::Key_N, Qt::ShiftModifier, B::No},
            {yesNo, Qt::Key_Y, Qt::ControlModifier, B::None},
            {yesNo, Qt::Key_O, Qt::NoModifier, B::None},
            {kAllButtons, Qt::Key_A, Qt::NoModifier, B::Abort},
            {kAllButtons, Qt::Key_R, Qt::NoModifier, B::Retry},
            {kAllButtons, Qt::Key_I, Qt::NoModifier, B::Ignore},
            {kAllButtons, Qt::Key_H, Qt::NoModifier, B::Help},
            {Buttons(B::OK), Qt::Key_Y, Qt::NoModifier, B::None},
        };
        for (const auto& c : cases) {
            MessageDialog dialog(QStringLiteral("x"), MessageKind::Confirmation, c.buttons);
            test::ShowActive(dialog);
            QTest::keyClick(dialog.focusWidget(), c.key, c.modifiers);
            QCOMPARE(dialog.result(), int(c.answer));
            QCOMPARE(dialog.isVisible(), c.answer == B::None);
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

private:
    // What the user found on opening a dialog, and how it closed.
    struct Visit {
        QWidget* focus;
        QString text;
        int result;
    };
    // Notes the focus and the box's text, types over the text unless `typed` is null, and
    // presses `key`.
    test::ScriptedUser::Action Use(QLineEdit* box, const QString& typed, Qt::Key key) {
        return [=, this](QDialog& dialog) {
            test::ShowActive(dialog);
            Visit visit{QApplication::focusWidget(), box ? box->text() : QString(), 0};
            if (!typed.isNull()) {
                box->setFocus();
                box->selectAll();
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, typed, Qt::NoModifier);
            }
            visit.result = test::PressKey(dialog, key);
            visits_.push_back(visit);
            return visit.result;
        };
    }

    std::vector<Visit> visits_;
    std::optional<test::TempStores> stores_;
    std::optional<test::Program> p_;
};

}  // namespace qv

QTEST_MAIN(qv::DialogsTest)
#include "dialogs_test.moc"
