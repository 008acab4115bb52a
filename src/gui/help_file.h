#pragma once

#include <QString>
#include <vector>

namespace qv {

// One page of the help text.
struct HelpTopic {
    QString id;     // what links name it by: <a href="#id">
    QString title;  // shown in the topic list and as the page's heading
    QString body;   // rich text (the HTML subset QTextBrowser shows)
};

// The help file: a title and its topics, the first of which is the contents page.
struct HelpBook {
    QString title;
    std::vector<HelpTopic> topics;

    // The topic of that id; nullptr when there is none.
    const HelpTopic* Find(const QString& id) const;
    // The topics whose title or text holds every word of the query (blank-separated, case
    // ignored), in the book's order; every topic for an empty query.
    std::vector<const HelpTopic*> Search(const QString& query) const;
};

// Reads the help file's text (UTF-8). A line "@title TEXT" names the book; a line
// "@topic ID TITLE" starts a topic whose body is every following line up to the next topic.
// Lines starting with "%" are remarks. Text before the first topic is ignored.
HelpBook ParseHelpBook(const QString& text);

// Where the help file of that name is: beside the program, then in the data folder of an
// installed copy (../share/quorvane), then the copy built into the program.
QString FindHelpFile(const QString& fileName);

// Reads and parses the help file; a book with one page that says so when it cannot be read.
HelpBook LoadHelpBook(const QString& fileName);

}  // namespace qv
