#include "gui/help_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocumentFragment>

namespace qv {

namespace {

const QString kTitleMark = QStringLiteral("@title ");
const QString kTopicMark = QStringLiteral("@topic ");

HelpTopic StartTopic(const QString& line) {
    const QString rest = line.mid(kTopicMark.size()).trimmed();
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    HelpTopic topic;
    topic.id = blank < 0 ? rest : rest.left(blank);
    topic.title = blank < 0 ? rest : rest.mid(blank + 1).trimmed();
    return topic;
}

QString PlainText(const HelpTopic& topic) {
    return topic.title + QLatin1Char('\n') +
           QTextDocumentFragment::fromHtml(topic.body).toPlainText();
}

}  // namespace

const HelpTopic* HelpBook::Find(const QString& id) const {
    for (const HelpTopic& topic : topics) {
        if (topic.id == id) {
            return &topic;
        }
    }
    return nullptr;
}

std::vector<const HelpTopic*> HelpBook::Search(const QString& query) const {
    const QStringList words =
        query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::vector<const HelpTopic*> found;
    for (const HelpTopic& topic : topics) {
        const QString text = PlainText(topic);
        bool all = true;
        for (const QString& word : words) {
            all = all && text.contains(word, Qt::CaseInsensitive);
        }
        if (all) {
            found.push_back(&topic);
        }
    }
    return found;
}

HelpBook ParseHelpBook(const QString& text) {
    HelpBook book;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        if (line.startsWith(QLatin1Char('%'))) {
            continue;
        }
        if (line.startsWith(kTitleMark)) {
            book.title = line.mid(kTitleMark.size()).trimmed();
        } else if (line.startsWith(kTopicMark)) {
            book.topics.push_back(StartTopic(line));
        } else if (!book.topics.empty()) {
            book.topics.back().body += line + QLatin1Char('\n');
        }
    }
    return book;
}

QString FindHelpFile(const QString& fileName) {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        programFolder.filePath(fileName),
        programFolder.filePath(QStringLiteral("../share/quorvane/") + fileName),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile()) {
            return QDir::cleanPath(candidate);
        }
    }
    return QStringLiteral(":/help/") + fileName;
}

HelpBook LoadHelpBook(const QString& fileName) {
    QFile file(FindHelpFile(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        HelpBook missing;
        missing.title = fileName;
        missing.topics.push_back(
            HelpTopic{QStringLiteral("contents"), fileName,
                      QStringLiteral("<p>ヘルプファイル %1 を読み込めません。</p>")
                          .arg(fileName.toHtmlEscaped())});
        return missing;
    }
    return ParseHelpBook(QString::fromUtf8(file.readAll()));
}

}  // namespace qv
