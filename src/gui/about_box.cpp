#include "gui/about_box.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>

#include "gui/design_colors.h"
#include "gui/icons.h"
#include "gui/program_info.h"
#include "gui/window_placement.h"

namespace qv {

namespace {

QLabel* MakeLabel(const QString& text, const QFont& font, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    KeepDesignTextColour(*label, QPalette::WindowText);
    label->adjustSize();
    return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent, kFixedDialogFlags) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setFont(DesignFont(kGothicFont, 12));
    setFixedSize(294, 113);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 273, 73);

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(ProgramPixmap(32, devicePixelRatioF()));
    icon->setGeometry(8, 8, 33, 33);

    productName_ = MakeLabel(QStringLiteral("Quorvane"), DesignFont(kTerminalFont, 19), panel);
    productName_->setObjectName(QStringLiteral("ProductName"));
    productName_->move(54, 8);

    version_ = MakeLabel(QStringLiteral("Version 1.00"), DesignFont(kTerminalFont, 13), panel);
    version_->setObjectName(QStringLiteral("Version"));
    // The version stands on the name's line at 126, or just past the name where the installed
    // font draws the name wider than the design's.
    const int nameEnd = productName_->x() + productName_->width();
    version_->move(std::max(126, nameEnd + 6), 13);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setGeometry(118, 87, 64, 22);
    okButton_->setDefault(true);
    okButton_->setFocus();
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutBox::showEvent(QShowEvent* event) {
    if (!placed_ && !event->spontaneous()) {
        CentreOnScreen(*this);
        placed_ = true;
    }
    QDialog::showEvent(event);
}

}  // namespace qv
