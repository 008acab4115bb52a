#include "gui/help_viewer.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/icons.h"
#include "gui/window_placement.h"

namespace qv {

namespace {

constexpr int kTopicIdRole = Qt::UserRole;

HelpBook WithAtLeastOnePage(HelpBook book) {
    if (book.topics.empty()) {
        book.topics.push_back(HelpTopic{QStringLiteral("contents"), book.title,
                                        QStringLiteral("<p>ヘルプの内容がありません。</p>")});
    }
    return book;
}

}  // namespace

HelpViewer::HelpViewer(HelpBook book, QWidget* parent)
    : QWidget(parent, Qt::Window), book_(WithAtLeastOnePage(std::move(book))) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(book_.title.isEmpty() ? QStringLiteral("ヘルプ") : book_.title);
    setWindowIcon(ProgramIcon());
    resize(720, 520);

    auto* contentsButton = new QPushButton(QStringLiteral("目次(&C)"), this);
    auto* finderButton = new QPushButton(QStringLiteral("トピックの検索(&T)"), this);
    backButton_ = new QPushButton(QStringLiteral("戻る(&B)"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contentsButton);
    buttons->addWidget(finderButton);
    buttons->addWidget(backButton_);
    buttons->addStretch();

    finder_ = new QWidget(this);
    auto* searchLabel = new QLabel(QStringLiteral("探したい語句(&W):"), finder_);
    search_ = new QLineEdit(finder_);
    search_->setClearButtonEnabled(true);
    searchLabel->setBuddy(search_);
    topics_ = new QListWidget(finder_);
    auto* finderLayout = new QVBoxLayout(finder_);
    finderLayout->setContentsMargins(0, 0, 0, 0);
    finderLayout->addWidget(searchLabel);
    finderLayout->addWidget(search_);
    finderLayout->addWidget(topics_);

    page_ = new QTextBrowser(this);
    page_->setOpenLinks(false);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(finder_);
    splitter->addWidget(page_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 500});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(contentsButton, &QPushButton::clicked, this,
            [this] { ShowTopic(book_.topics.front().id); });
    connect(finderButton, &QPushButton::clicked, this, [this] {
        finder_->setVisible(!finder_->isVisible());
        if (finder_->isVisible()) {
            search_->setFocus();
        }
    });
    connect(backButton_, &QPushButton::clicked, this, &HelpViewer::Back);
    connect(page_, &QTextBrowser::anchorClicked, this, &HelpViewer::OpenLink);
    connect(search_, &QLineEdit::textChanged, this, &HelpViewer::FillTopicList);
    connect(search_, &QLineEdit::returnPressed, this, [this] {
        if (topics_->count() > 0) {
            topics_->setCurrentRow(0);
            OpenListedTopic();
        }
    });
    connect(topics_, &QListWidget::itemActivated, this, &HelpViewer::OpenListedTopic);
    connect(topics_, &QListWidget::itemClicked, this, &HelpViewer::OpenListedTopic);

    FillTopicList({});
    ShowTopic(book_.topics.front().id);
    shownBefore_.clear();
    backButton_->setEnabled(false);
}

void HelpViewer::ShowContents() {
    ShowTopic(book_.topics.front().id);
    finder_->hide();
    BringToFront();
    page_->setFocus();
}

void HelpViewer::ShowFinder() {
    finder_->show();
    BringToFront();
    search_->setFocus();
    search_->selectAll();
}

bool HelpViewer::ShowTopic(const QString& id) {
    const HelpTopic* topic = book_.Find(id);
    if (topic == nullptr) {
        return false;
    }
    if (!currentTopic_.isEmpty() && currentTopic_ != topic->id) {
        shownBefore_.append(currentTopic_);
    }
    Display(*topic);
    return true;
}

void HelpViewer::Display(const HelpTopic& topic) {
    currentTopic_ = topic.id;
    page_->setHtml(QStringLiteral("<h2>%1</h2>\n%2").arg(topic.title.toHtmlEscaped(), topic.body));
    backButton_->setEnabled(!shownBefore_.isEmpty());
}

bool HelpViewer::Back() {
    if (shownBefore_.isEmpty()) {
        return false;
    }
    const HelpTopic* topic = book_.Find(shownBefore_.takeLast());
    Display(*topic);
    return true;
}

void HelpViewer::FillTopicList(const QString& query) {
    topics_->clear();
    for (const HelpTopic* topic : book_.Search(query)) {
        auto* item = new QListWidgetItem(topic->title, topics_);
        item->setData(kTopicIdRole, topic->id);
    }
}

void HelpViewer::OpenLink(const QUrl& link) {
    if (link.scheme().isEmpty() && !link.fragment().isEmpty()) {
        ShowTopic(link.fragment());
    } else if (link.scheme() == QLatin1String("http") || link.scheme() == QLatin1String("https")) {
        QDesktopServices::openUrl(link);
    }
}

void HelpViewer::OpenListedTopic() {
    const QListWidgetItem* item = topics_->currentItem();
    if (item != nullptr) {
        ShowTopic(item->data(kTopicIdRole).toString());
    }
}

void HelpViewer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpViewer::BringToFront() {
    if (!placed_) {
        CentreOnScreen(*this);
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

}  // namespace qv
