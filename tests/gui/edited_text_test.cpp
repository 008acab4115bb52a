// What an edit of a text box comes to in CP932 bytes: the untouched parts keep their exact
// bytes, and what the user typed is encoded or refused; typed into a grid cell too.

#include <QtTest>
#include <optional>
#include <string>

#include "grid_fixtures.h"
#include "gui/edited_text.h"
#include "gui/grid_view.h"

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

    // Keys typed into a grid cell holding a byte that is no valid CP932 (shown as U+FFFD).
    void typingIntoACellWithUndecodableBytes_data() {
        // Typed one by one after F2, which opens the editor with the text selected; "<" is Home,
        // ">" End, "-" Backspace, "~" Delete.
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("appended") << QStringLiteral(">x") << QByteArray("a\xA0zx");
        QTest::newRow("inserted first") << QStringLiteral("<x") << QByteArray("xa\xA0z");
        QTest::newRow("the bad byte deleted") << QStringLiteral(">--") << QByteArray("a");
        QTest::newRow("a good one deleted") << QStringLiteral("<~") << QByteArray("\xA0z");
        QTest::newRow("all replaced") << QStringLiteral("q") << QByteArray("q");
    }
    void typingIntoACellWithUndecodableBytes() {
        QFETCH(QString, keys);
        QFETCH(QByteArray, expected);
        TableGrid grid(kMainTableShape);
        test::MakeInitialTable(grid);
        grid.SetCell(1, 1, "a\xA0z");
        grid.SetCell(2, 1, "\xA0");
        GridView view(grid);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::keyClick(&view, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(view.isEditing() && editor != &view);
        const QString named = QStringLiteral("<>-~");
        const Qt::Key namedKeys[] = {Qt::Key_Home, Qt::Key_End, Qt::Key_Backspace, Qt::Key_Delete};
        for (const QChar key : keys) {
            if (named.contains(key)) {
                QTest::keyClick(editor, namedKeys[named.indexOf(key)]);
            } else {
                QTest::keyClicks(editor, QString(key));
            }
        }
        QCOMPARE(QByteArray::fromStdString(grid.CellText(1, 1)), expected);
        QCOMPARE(grid.CellText(2, 1), std::string("\xA0"));
    }
};

}  // namespace qv

QTEST_MAIN(qv::EditedTextTest)
#include "edited_text_test.moc"
