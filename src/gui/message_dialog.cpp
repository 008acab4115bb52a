#include "gui/message_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "gui/program_info.h"
#include "gui/window_placement.h"

namespace qv {

namespace {

struct ButtonInfo {
    MessageButton button;
    const char* caption;
};

// The dialog's buttons in the order they stand in it.
constexpr ButtonInfo kButtonOrder[] = {
    {MessageButton::Yes, "はい(&Y)"},    {MessageButton::No, "いいえ(&N)"},
    {MessageButton::OK, "OK"},           {MessageButton::Cancel, "ｷｬﾝｾﾙ"},
    {MessageButton::Abort, "中止(&A)"},  {MessageButton::Retry, "再試行(&R)"},
    {MessageButton::Ignore, "無視(&I)"}, {MessageButton::All, "すべて"},
    {MessageButton::Help, "ﾍﾙﾌﾟ(&H)"},
};

bool Has(MessageButtons buttons, MessageButton button) {
    return (buttons & static_cast<MessageButtons>(button)) != 0;
}

MessageButton FirstPresent(MessageButtons buttons, std::initializer_list<MessageButton> choices) {
    for (MessageButton choice : choices) {
        if (Has(buttons, choice)) {
            return choice;
        }
    }
    return MessageButton::None;
}

QStyle::StandardPixmap IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QStyle::SP_MessageBoxWarning;
        case MessageKind::Error:
            return QStyle::SP_MessageBoxCritical;
        case MessageKind::Information:
            return QStyle::SP_MessageBoxInformation;
        case MessageKind::Confirmation:
            return QStyle::SP_MessageBoxQuestion;
    }
    return QStyle::SP_MessageBoxInformation;
}

// Dialog units of a font: a quarter of the average width of the Latin letters and an eighth of
// the line height, as dialog templates measure them.
struct DialogUnits {
    int x = 0;
    int y = 0;
    int Horizontal(int units) const { return units * x / 4; }
    int Vertical(int units) const { return units * y / 8; }
};

DialogUnits DialogUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return DialogUnits{metrics.horizontalAdvance(letters) / 52, metrics.height()};
}

constexpr int kIconSize = 32;
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs;

// The message: a label, so that a screen reader reads it, drawn with the same flags it was
// measured with, so that the wrapped lines fit the measured rectangle exactly.
class WrappedText : public QLabel {
public:
    WrappedText(const QString& text, QWidget* parent) : QLabel(text, parent) {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), kTextFlags, text());
    }
};

int ScreenWidth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().width() : 1024;
}

}  // namespace

QString MessageCaption(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QStringLiteral("警告");
        case MessageKind::Error:
            return QStringLiteral("ｴﾗｰ");
        case MessageKind::Information:
            return QStringLiteral("情報");
        case MessageKind::Confirmation:
            return QStringLiteral("確認");
    }
    return {};
}

QString MessageButtonCaption(MessageButton button) {
    for (const ButtonInfo& info : kButtonOrder) {
        if (info.button == button) {
            return QString::fromUtf8(info.caption);
        }
    }
    return {};
}

int MessageButtonLetterKey(MessageButton button) {
    const QString caption = MessageButtonCaption(button);
    const qsizetype mark = caption.indexOf(QLatin1Char('&'));
    if (mark < 0 || mark + 1 >= caption.size()) {
        return 0;
    }
    const QChar letter = caption.at(mark + 1).toUpper();
    return letter >= QLatin1Char('A') && letter <= QLatin1Char('Z')
               ? Qt::Key_A + (letter.unicode() - u'A')
               : 0;
}

std::vector<MessageButton> MessageButtonsInOrder(MessageButtons buttons) {
    std::vector<MessageButton> ordered;
    for (const ButtonInfo& info : kButtonOrder) {
        if (Has(buttons, info.button)) {
            ordered.push_back(info.button);
        }
    }
    return ordered;
}

MessageButton MessageDefaultButton(MessageButtons buttons) {
    return FirstPresent(buttons, {MessageButton::OK, MessageButton::Yes, MessageButton::Retry});
}

MessageButton MessageCancelButton(MessageButtons buttons) {
    return FirstPresent(buttons, {MessageButton::Cancel, MessageButton::No, MessageButton::OK});
}

MessageDialog::MessageDialog(const QString& text, MessageKind kind, MessageButtons buttons,
                             QWidget* parent)
    : MessageDialog(MessageCaption(kind), IconOf(kind), text, buttons, parent) {}

MessageDialog::MessageDialog(const QString& caption, QStyle::StandardPixmap icon,
                             const QString& text, MessageButtons buttons, QWidget* parent)
    : QDialog(parent, kFixedDialogFlags), text_(text) {
    setWindowTitle(caption);
    setFont(DesignFont(kGothicFont, 12));
    Build(icon, buttons);
}

std::unique_ptr<MessageDialog> MessageDialog::FailureBox(const QString& message, QWidget* parent) {
    return std::unique_ptr<MessageDialog>(
        new MessageDialog(QString::fromUtf8(kProgramTitle), QStyle::SP_MessageBoxCritical,
                          message + QStringLiteral("."), Buttons(MessageButton::OK), parent));
}

void MessageDialog::Build(QStyle::StandardPixmap icon, MessageButtons buttons) {
    const DialogUnits units = DialogUnitsOf(font());
    const int horzMargin = units.Horizontal(8);
    const int vertMargin = units.Vertical(8);
    const int horzSpacing = units.Horizontal(10);
    const int vertSpacing = units.Vertical(10);
    const int buttonHeight = units.Vertical(14);
    const int buttonSpacing = units.Horizontal(4);

    const std::vector<MessageButton> ordered = MessageButtonsInOrder(buttons);
    buttonKinds_ = ordered;
    const QFontMetrics metrics(font());
    int buttonWidth = units.Horizontal(50);
    for (MessageButton button : ordered) {
        const QString shown = MessageButtonCaption(button).remove(QLatin1Char('&'));
        buttonWidth = std::max(buttonWidth, metrics.horizontalAdvance(shown) + 8);
    }

    const QRect textRect =
        metrics.boundingRect(QRect(0, 0, ScreenWidth() / 2, 0), kTextFlags, text_);
    const int textWidth = textRect.width();
    const int textHeight = textRect.height();
    const int iconTextWidth = kIconSize + horzSpacing + textWidth;
    const int iconTextHeight = std::max(kIconSize, textHeight);
    const int count = static_cast<int>(ordered.size());
    const int groupWidth = count == 0 ? 0 : buttonWidth * count + buttonSpacing * (count - 1);
    const int clientWidth =
        std::max(std::max(iconTextWidth, groupWidth) + horzMargin * 2, CaptionWidth());
    const int clientHeight = iconTextHeight + buttonHeight + vertSpacing + vertMargin * 2;
    setFixedSize(clientWidth, clientHeight);

    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("Image"));
    iconLabel->setPixmap(style()
                             ->standardIcon(icon, nullptr, this)
                             .pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));
    iconLabel->setGeometry(horzMargin, vertMargin, kIconSize, kIconSize);

    auto* message = new WrappedText(text_, this);
    message->setObjectName(QStringLiteral("Message"));
    setAccessibleDescription(text_);  // read with the caption when the box opens
    message->setGeometry(horzMargin + kIconSize + horzSpacing, vertMargin, textWidth, textHeight);

    const MessageButton defaultButton = MessageDefaultButton(buttons);
    cancelButton_ = MessageCancelButton(buttons);
    int x = (clientWidth - groupWidth) / 2;
    const int y = iconTextHeight + vertMargin + vertSpacing;
    for (MessageButton button : ordered) {
        auto* push = new QPushButton(MessageButtonCaption(button), this);
        push->setGeometry(x, y, buttonWidth, buttonHeight);
        connect(push, &QPushButton::clicked, this,
                [this, button] { done(static_cast<int>(button)); });
        if (button == defaultButton) {
            push->setDefault(true);
            push->setFocus();
        }
        buttonRow_.push_back(push);
        x += buttonWidth + buttonSpacing;
    }
    CentreOnScreen(*this);
}

int MessageDialog::CaptionWidth() const {
    // The window manager draws the caption in its own font, usually the desktop's bold UI font;
    // beside it stand the window's icon and close box, each about a title bar high.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int titleBarHeight =
        std::max(style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this),
                 QFontMetrics(titleFont).height());
    return QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 3 * titleBarHeight;
}

void MessageDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void MessageDialog::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers held =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (held == Qt::NoModifier) {
        for (std::size_t i = 0; i < buttonRow_.size(); ++i) {
            if (event->key() == MessageButtonLetterKey(buttonKinds_[i])) {
                buttonRow_[i]->click();
                return;
            }
        }
    }
    QDialog::keyPressEvent(event);
}

void MessageDialog::reject() {
    const MessageButton answer = closingByCloseBox_ ? MessageButton::Cancel : cancelButton_;
    if (answer != MessageButton::None) {
        done(static_cast<int>(answer));
    }
}

void MessageDialog::closeEvent(QCloseEvent* event) {
    closingByCloseBox_ = true;
    QDialog::closeEvent(event);
    closingByCloseBox_ = false;
}

}  // namespace qv
