// The message dialog and the failure box: captions, icons, button order, Enter, Esc and the
// close box, and the layout of the text.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "gui/application.h"
#include "gui/message_dialog.h"
#include "gui_test_support.h"

Q_DECLARE_METATYPE(qv::MessageKind)
Q_DECLARE_METATYPE(qv::MessageButton)

namespace qv {

using test::PressKey;

namespace {

constexpr MessageButtons kAllButtons = 0x1FF;

QStringList Captions(const MessageDialog& dialog) {
    QStringList captions;
    for (const QPushButton* button : dialog.ButtonRow()) {
        captions << button->text();
    }
    return captions;
}

QWidget* Message(const MessageDialog& dialog) {
    return dialog.findChild<QWidget*>(QStringLiteral("Message"));
}

}  // namespace

class MessageDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }

    void captionByKind_data() {
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<QString>("caption");
        QTest::newRow("warning") << MessageKind::Warning << QStringLiteral("警告");
        QTest::newRow("error") << MessageKind::Error << QStringLiteral("ｴﾗｰ");
        QTest::newRow("information") << MessageKind::Information << QStringLiteral("情報");
        QTest::newRow("confirmation") << MessageKind::Confirmation << QStringLiteral("確認");
    }
    void captionByKind() {
        QFETCH(MessageKind, kind);
        QFETCH(QString, caption);
        MessageDialog dialog(QStringLiteral("text"), kind, Buttons(MessageButton::OK));
        QCOMPARE(dialog.windowTitle(), caption);
        const auto* icon = dialog.findChild<QLabel*>(QStringLiteral("Image"));
        QVERIFY(icon != nullptr);
        QCOMPARE(icon->pixmap().size(), QSize(32, 32));
        // The icon stands left of the text.
        QVERIFY(icon->geometry().right() < Message(dialog)->geometry().left());
    }

    void buttonsStandInTheirOrder() {
        MessageDialog dialog(QStringLiteral("text"), MessageKind::Warning, kAllButtons);
        QCOMPARE(Captions(dialog), QStringList({"はい(&Y)", "いいえ(&N)", "OK", "ｷｬﾝｾﾙ", "中止(&A)",
                                                "再試行(&R)", "無視(&I)", "すべて", "ﾍﾙﾌﾟ(&H)"}));
        // One row, left to right, centred, of equal width.
        const std::vector<QPushButton*>& row = dialog.ButtonRow();
        for (std::size_t i = 1; i < row.size(); ++i) {
            QCOMPARE(row[i]->y(), row[0]->y());
            QVERIFY(row[i]->x() > row[i - 1]->geometry().right());
            QCOMPARE(row[i]->width(), row[0]->width());
        }
        const int leftRoom = row.front()->x();
        const int rightRoom = dialog.width() - 1 - row.back()->geometry().right();
        QVERIFY(qAbs(leftRoom - rightRoom) <= 1);
    }

    void onlyTheButtonsAsked() {
        MessageDialog dialog(QStringLiteral("text"), MessageKind::Confirmation,
                             MessageButton::No | MessageButton::Yes);
        QCOMPARE(Captions(dialog), QStringList({"はい(&Y)", "いいえ(&N)"}));
    }

    void enterEscAndCloseBox_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<MessageButton>("enter");
        QTest::addColumn<MessageButton>("escape");
        const auto set = [](std::initializer_list<MessageButton> list) {
            int buttons = 0;
            for (MessageButton b : list) {
                buttons |= static_cast<int>(b);
            }
            return buttons;
        };
        using B = MessageButton;
        QTest::newRow("OK") << set({B::OK}) << B::OK << B::OK;
        QTest::newRow("yes no") << set({B::Yes, B::No}) << B::Yes << B::No;
        QTest::newRow("yes no cancel") << set({B::Yes, B::No, B::Cancel}) << B::Yes << B::Cancel;
        QTest::newRow("OK cancel") << set({B::OK, B::Cancel}) << B::OK << B::Cancel;
        QTest::newRow("retry cancel") << set({B::Retry, B::Cancel}) << B::Retry << B::Cancel;
        QTest::newRow("abort retry ignore")
            << set({B::Abort, B::Retry, B::Ignore}) << B::Retry << B::None;
        QTest::newRow("all") << int(kAllButtons) << B::OK << B::Cancel;
    }
    void enterEscAndCloseBox() {
        QFETCH(int, buttons);
        QFETCH(MessageButton, enter);
        QFETCH(MessageButton, escape);
        const auto asked = static_cast<MessageButtons>(buttons);
        QCOMPARE(MessageDefaultButton(asked), enter);
        QCOMPARE(MessageCancelButton(asked), escape);
        {
            MessageDialog dialog(QStringLiteral("Enter"), MessageKind::Confirmation, asked);
            QCOMPARE(PressKey(dialog, Qt::Key_Return), static_cast<int>(enter));
            QVERIFY(!dialog.isVisible());
        }
        if (escape != MessageButton::None) {
            MessageDialog dialog(QStringLiteral("Esc"), MessageKind::Confirmation, asked);
            QCOMPARE(PressKey(dialog, Qt::Key_Escape), static_cast<int>(escape));
            QVERIFY(!dialog.isVisible());
        }
        {
            MessageDialog dialog(QStringLiteral("close box"), MessageKind::Confirmation, asked);
            test::ShowActive(dialog);
            dialog.close();
            QCOMPARE(dialog.result(), static_cast<int>(MessageButton::Cancel));
        }
    }

    void defaultButtonHasTheFocus() {
        MessageDialog dialog(QStringLiteral("text"), MessageKind::Confirmation,
                             MessageButton::Yes | MessageButton::No);
        test::ShowActive(dialog);
        QCOMPARE(dialog.focusWidget(), dialog.ButtonRow().front());
        QVERIFY(dialog.ButtonRow().front()->isDefault());
        QVERIFY(!dialog.ButtonRow().back()->isDefault());
    }

    void clickingAButtonAnswersIt() {
        MessageDialog dialog(QStringLiteral("text"), MessageKind::Confirmation,
                             MessageButton::Yes | MessageButton::No);
        QCOMPARE(test::ClickButton(dialog, QStringLiteral("いいえ(&N)")),
                 static_cast<int>(MessageButton::No));
    }

    void failureBoxAddsAFullStop() {
        std::unique_ptr<MessageDialog> box =
            MessageDialog::FailureBox(QStringLiteral("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(box->windowTitle(), QStringLiteral("Quorvane 1.00"));
        QCOMPARE(box->Text(), QStringLiteral("ﾌｧｲﾙが見つかりません."));
        QCOMPARE(Captions(*box), QStringList({"OK"}));
        QCOMPARE(PressKey(*box, Qt::Key_Return), static_cast<int>(MessageButton::OK));
    }

    void lineFeedStartsANewLine() {
        MessageDialog oneLine(QStringLiteral("本当に削除しますか？"), MessageKind::Confirmation,
                              Buttons(MessageButton::OK));
        MessageDialog twoLines(QStringLiteral("選択された表「 蔵書 」を\n本当に削除しますか？"),
                               MessageKind::Confirmation, Buttons(MessageButton::OK));
        const int lineHeight = QFontMetrics(oneLine.font()).height();
        QCOMPARE(Message(oneLine)->height(), lineHeight);
        QCOMPARE(Message(twoLines)->height(), 2 * lineHeight);
    }

    void longTextWrapsWithinHalfTheScreen() {
        const int halfScreen = QGuiApplication::primaryScreen()->geometry().width() / 2;
        MessageDialog dialog(QString(400, QChar(u'表')), MessageKind::Information,
                             Buttons(MessageButton::OK));
        QVERIFY(Message(dialog)->width() <= halfScreen);
        QVERIFY(Message(dialog)->height() > QFontMetrics(dialog.font()).height() * 3);
        // The buttons stand below the text.
        QVERIFY(dialog.ButtonRow().front()->y() > Message(dialog)->geometry().bottom());
    }

    void sizesFollowDialogUnits() {
        MessageDialog dialog(QStringLiteral("x"), MessageKind::Information,
                             Buttons(MessageButton::OK));
        const QFontMetrics metrics(dialog.font());
        const int unitX = metrics.horizontalAdvance(QStringLiteral(
                              "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                          52;
        const int unitY = metrics.height();
        const auto* icon = dialog.findChild<QLabel*>(QStringLiteral("Image"));
        QCOMPARE(icon->pos(), QPoint(8 * unitX / 4, 8 * unitY / 8));
        QCOMPARE(dialog.ButtonRow().front()->size(), QSize(50 * unitX / 4, 14 * unitY / 8));
    }

    void dialogIsCentredOnTheScreen() {
        MessageDialog dialog(QStringLiteral("text"), MessageKind::Information,
                             Buttons(MessageButton::OK));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(dialog.x(), (screen.width() - dialog.frameGeometry().width()) / 2);
        QCOMPARE(dialog.y(), (screen.height() - dialog.frameGeometry().height()) / 2);
    }

    void textIsShownAsWritten() {
        // A title may hold "<" and "&": the box shows it as plain text.
        MessageDialog dialog(QStringLiteral("<b>A&B</b>"), MessageKind::Information,
                             Buttons(MessageButton::OK));
        QCOMPARE(dialog.Text(), QStringLiteral("<b>A&B</b>"));
        QVERIFY(Message(dialog)->width() >=
                QFontMetrics(dialog.font()).horizontalAdvance(QStringLiteral("<b>A&B</b>")) - 1);
    }
};

}  // namespace qv

QTEST_MAIN(qv::MessageDialogTest)
#include "message_dialog_test.moc"
