// The help file's format, the shipped help text, and the help viewer's contents page and topic
// finder.

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

#include "gui/application.h"
#include "gui/help_file.h"
#include "gui/help_viewer.h"
#include "gui/program_info.h"
#include "gui_test_support.h"

namespace qv {

namespace {

const char* const kSample =
    "% a remark\n"
    "before any topic\n"
    "@title Sample Help\n"
    "@topic contents Contents\r\n"
    "<p>See <a href=\"#cats\">cats</a>.</p>\n"
    "@topic cats Cats and Dogs\n"
    "<p>Cats purr.</p>\n"
    "@topic lone\n";

QStringList Titles(const std::vector<const HelpTopic*>& topics) {
    QStringList titles;
    for (const HelpTopic* topic : topics) {
        titles << topic->title;
    }
    return titles;
}

}  // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::PrepareForTests(); }

    void parsesTitleTopicsAndBodies() {
        const HelpBook book = ParseHelpBook(QString::fromUtf8(kSample));
        QCOMPARE(book.title, QStringLiteral("Sample Help"));
        QCOMPARE(book.topics.size(), std::size_t{3});
        QCOMPARE(book.topics[0].id, QStringLiteral("contents"));
        QCOMPARE(book.topics[0].title, QStringLiteral("Contents"));
        QCOMPARE(book.topics[0].body, QStringLiteral("<p>See <a href=\"#cats\">cats</a>.</p>\n"));
        QCOMPARE(book.topics[1].title, QStringLiteral("Cats and Dogs"));
        QCOMPARE(book.topics[2].id, QStringLiteral("lone"));
        QCOMPARE(book.topics[2].title, QStringLiteral("lone"));
        QVERIFY(book.Find(QStringLiteral("dogs")) == nullptr);
    }

    void searchNeedsEveryWord_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("empty") << QString() << QStringList({"Contents", "Cats and Dogs", "lone"});
        QTest::newRow("in a title") << QStringLiteral("dogs") << QStringList({"Cats and Dogs"});
        QTest::newRow("in a body, any case")
            << QStringLiteral("PURR") << QStringList({"Cats and Dogs"});
        QTest::newRow("not in markup") << QStringLiteral("href") << QStringList();
        QTest::newRow("every word")
            << QStringLiteral("cats purr") << QStringList({"Cats and Dogs"});
        QTest::newRow("a missing word") << QStringLiteral("cats bark") << QStringList();
    }
    void searchNeedsEveryWord() {
        QFETCH(QString, query);
        QFETCH(QStringList, found);
        const HelpBook book = ParseHelpBook(QString::fromUtf8(kSample));
        QCOMPARE(Titles(book.Search(query)), found);
    }

    void shippedHelpExplainsEveryCommand() {
        const HelpBook book = LoadHelpBook(QString::fromUtf8(kHelpFileName));
        QVERIFY(book.topics.size() > 10);
        QCOMPARE(book.topics.front().id, QStringLiteral("contents"));
        const QStringList commands = {"タイトル一覧",
                                      "ファイルを開く",
                                      "上書き",
                                      "別名保存",
                                      "使い方",
                                      "Quorvaneについて",
                                      "終了",
                                      "現在行を削除",
                                      "新しい行を前に挿入",
                                      "新しい行を次に挿入",
                                      "削除した行を貼り付け",
                                      "列の追加",
                                      "列の削除",
                                      "全データ消去",
                                      "計算",
                                      "計数",
                                      "項目名設定",
                                      "タイトル一覧を表示",
                                      "ファイルの上書き保存",
                                      "現在行の次に行を挿入",
                                      "現在行の削除",
                                      "使い方，バージョン情報の表示",
                                      "このプログラムを終了",
                                      "消去(E)",
                                      "削除(D)",
                                      "選択(S)",
                                      "閉じる(X)",
                                      "一致文字列",
                                      "有効データ数",
                                      "全データ数",
                                      ".qvd",
                                      "Tab",
                                      "F2"};
        for (const QString& command : commands) {
            QVERIFY2(!book.Search(command).empty(), qPrintable(command));
        }
        // Every link names a topic of the book.
        const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        for (const HelpTopic& topic : book.topics) {
            for (const QRegularExpressionMatch& match : link.globalMatch(topic.body)) {
                QVERIFY2(book.Find(match.captured(1)) != nullptr, qPrintable(match.captured(1)));
            }
        }
    }

    void contentsOpenOnTheFirstPage() {
        HelpViewer viewer(ParseHelpBook(QString::fromUtf8(kSample)));
        viewer.ShowTopic(QStringLiteral("cats"));
        viewer.ShowContents();
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.windowTitle(), QStringLiteral("Sample Help"));
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("contents"));
        QVERIFY(!viewer.Finder()->isVisible());
        QVERIFY(viewer.Page()->toPlainText().contains(QStringLiteral("See cats.")));
    }

    void followingALinkAndGoingBack() {
        HelpViewer viewer(ParseHelpBook(QString::fromUtf8(kSample)));
        viewer.ShowContents();
        emit viewer.Page()->anchorClicked(QUrl(QStringLiteral("#cats")));
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("cats"));
        QVERIFY(viewer.Back());
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("contents"));
        QVERIFY(!viewer.Back());
    }

    void finderFiltersAsTheUserTypes() {
        HelpViewer viewer(ParseHelpBook(QString::fromUtf8(kSample)));
        viewer.ShowFinder();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QVERIFY(viewer.Finder()->isVisible());
        QCOMPARE(QApplication::focusWidget(), viewer.SearchField());
        QCOMPARE(viewer.TopicList()->count(), 3);
        QTest::keyClicks(viewer.SearchField(), QStringLiteral("purr"));
        QCOMPARE(viewer.TopicList()->count(), 1);
        QTest::keyClick(viewer.SearchField(), Qt::Key_Return);
        QCOMPARE(viewer.CurrentTopic(), QStringLiteral("cats"));
    }
};

}  // namespace qv

QTEST_MAIN(qv::HelpViewerTest)
#include "help_viewer_test.moc"
