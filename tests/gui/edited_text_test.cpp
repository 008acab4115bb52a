// What an edit of a text box comes to in CP932 bytes: the untouched parts keep their exact
// bytes, and what the user typed is encoded or refused.

#include <QLineEdit>
#include <QtTest>
#include <optional>
#include <string>

#include "gui/cp932_input.h"
#include "gui/edited_text.h"
#include "platform/cp932.h"

namespace qv {

namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}
QByteArray Sjis(const char* utf8) {
    return Bytes(*Utf8ToCp932(utf8));
}

}  // namespace

class EditedTextTest : public QObject {
    Q_OBJECT
private slots:
    void encodesTheEdit_data() {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("typed into an empty box")
            << QByteArray() << QStringLiteral("蔵書") << Sjis("蔵書");
        QTest::newRow("appended") << Sjis("蔵書") << QStringLiteral("蔵書一覧") << Sjis("蔵書一覧");
        QTest::newRow("emptied") << Sjis("蔵書") << QString() << QByteArray();
        QTest::newRow("yen sign and wave dash as on Japanese systems")
            << QByteArray() << QStringLiteral("¥〜") << QByteArray("\x5C\x81\x60");
        // Bytes that are no valid CP932 show as U+FFFD and stay as they were outside the edit.
        QTest::newRow("typed before a bad byte")
            << QByteArray("a\xA0z") << QStringLiteral("xa\uFFFDz") << QByteArray("xa\xA0z");
        QTest::newRow("typed after a lone lead byte")
            << QByteArray("ab\x81") << QStringLiteral("ab\uFFFDc")
            << QByteArray(
                   "ab\x81"
                   "c");
        QTest::newRow("the middle replaced between bad bytes")
            << QByteArray("\xA0mid\xA0") << QStringLiteral("\uFFFDnew\uFFFD")
            << QByteArray("\xA0new\xA0");
        QTest::newRow("a bad byte deleted")
            << QByteArray("a\xA0z") << QStringLiteral("az") << QByteArray("az");
        QTest::newRow("a repeated character deleted")
            << QByteArray("aaa") << QStringLiteral("aa") << QByteArray("aa");
    }
    void encodesTheEdit() {
        QFETCH(QByteArray, original);
        QFETCH(QString, edited);
        QFETCH(QByteArray, expected);
        const std::optional<std::string> bytes = EncodeEditedText(original.toStdString(), edited);
        QVERIFY(bytes.has_value());
        QCOMPARE(Bytes(*bytes), expected);
    }

    void refusesWhatCannotBeStored_data() {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("edited");
        QTest::newRow("no CP932 code") << QByteArray("a") << QStringLiteral("a😀");
        QTest::newRow("carriage return") << QByteArray("a") << QStringLiteral("a\rb");
        QTest::newRow("end of file byte") << QByteArray() << QStringLiteral("\x1A");
        QTest::newRow("a replacement character typed")
            << QByteArray("a") << QStringLiteral("\uFFFDa");
    }
    void refusesWhatCannotBeStored() {
        QFETCH(QByteArray, original);
        QFETCH(QString, edited);
        QVERIFY(!EncodeEditedText(original.toStdString(), edited).has_value());
    }

    void validatorKeepsRefusedTypingOut() {
        QLineEdit box;
        std::string stored = "ab";
        box.setValidator(new EditedTextValidator([&] { return stored; }, &box));
        box.setText(QStringLiteral("ab"));
        box.setFocus();
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QStringLiteral("😀"),
                            Qt::NoModifier);
        QCOMPARE(box.text(), QStringLiteral("ab"));
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QStringLiteral("表"),
                            Qt::NoModifier);
        QCOMPARE(box.text(), QStringLiteral("ab表"));
    }
};

}  // namespace qv

QTEST_MAIN(qv::EditedTextTest)
#include "edited_text_test.moc"
