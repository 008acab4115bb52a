#pragma once

#include <QStringList>
#include <QWidget>

#include "gui/help_file.h"

class QLineEdit;
class QPushButton;
class QListWidget;
class QSplitter;
class QTextBrowser;
class QUrl;

namespace qv {

// The program's help window over the help file: a page of the help text, and a topic finder
// (a search field over a list of the topics) beside it. Esc closes it, as it does a dialog.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(HelpBook book, QWidget* parent = nullptr);

    // Opens on the contents page.
    void ShowContents();
    // Opens with the topic finder, the search field ready for a word.
    void ShowFinder();
    // Shows the topic of that id; false, and nothing changes, when there is none.
    bool ShowTopic(const QString& id);
    // Goes back to the topic shown before; false when there is none.
    bool Back();

    const HelpBook& Book() const { return book_; }
    QString CurrentTopic() const { return currentTopic_; }
    QTextBrowser* Page() const { return page_; }
    QLineEdit* SearchField() const { return search_; }
    QListWidget* TopicList() const { return topics_; }
    QWidget* Finder() const { return finder_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Display(const HelpTopic& topic);
    void FillTopicList(const QString& query);
    void OpenLink(const QUrl& link);
    void OpenListedTopic();
    void BringToFront();

    HelpBook book_;
    QString currentTopic_;
    QStringList shownBefore_;
    QPushButton* backButton_ = nullptr;
    QWidget* finder_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListWidget* topics_ = nullptr;
    QTextBrowser* page_ = nullptr;
    bool placed_ = false;
};

}  // namespace qv
