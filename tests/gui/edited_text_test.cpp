// What an edit of a text box comes to in CP932 bytes: the untouched parts keep their exact
// bytes, and what the user typed is encoded or refused (typed into a grid cell: see
// grid_view_test).

#include <QtTest>
#include <optional>
#include <string>

#include "gui/edited_text.h"

namespace qv {

class EditedTextTest : public QObject {
    Q_OBJECT
private slots:
    void encodesTheEdit_data() {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("appended") << QByteArray("\x91\xA0") << QStringLiteral("蔵x")
                                  << QByteArray("\x91\xA0x");
        // Bytes that are no valid CP932 show as U+FFFD and stay as they were outside the edit.
        QTest::newRow("typed before a bad byte")
            << QByteArray("a\xA0z") << QStringLiteral("xa\uFFFDz") << QByteArray("xa\xA0z");
        QTest::newRow("typed after a lone lead byte")
            << QByteArray("ab\x81") << QStringLiteral("ab\uFFFDc") << QByteArray("ab\x81\x63");
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
        QCOMPARE(QByteArray::fromStdString(*bytes), expected);
    }

    // A character with no CP932 code, CR, the end-of-file byte, a stand-in character typed.
    void refusesWhatCannotBeStored() {
        for (const QString& edited : QStringList({"a😀", "a\rb", "a\x1A", "\uFFFDa"})) {
            QVERIFY2(!EncodeEditedText("a", edited).has_value(), qPrintable(edited));
        }
    }
};

}  // namespace qv

QTEST_MAIN(qv::EditedTextTest)
#include "edited_text_test.moc"
