#include "gui/icons.h"

#include <QString>

namespace qv {

namespace {

// The resources the pictures are drawn from; the program icon is also the installed one.
QString ToolbarResource(ToolbarPicture picture) {
    switch (picture) {
        case ToolbarPicture::None:
            break;
        case ToolbarPicture::OpenFolder:
            return QStringLiteral(":/icons/open_folder.svg");
        case ToolbarPicture::Floppy:
            return QStringLiteral(":/icons/floppy.svg");
        case ToolbarPicture::InsertRow:
            return QStringLiteral(":/icons/insert_row.svg");
        case ToolbarPicture::DeleteRow:
            return QStringLiteral(":/icons/delete_row.svg");
        case ToolbarPicture::Calculator:
            return QStringLiteral(":/icons/calculator.svg");
        case ToolbarPicture::Help:
            return QStringLiteral(":/icons/help.svg");
        case ToolbarPicture::ExitDoor:
            return QStringLiteral(":/icons/exit_door.svg");
    }
    return {};
}

const QString kProgramIconResource = QStringLiteral(":/quorvane.svg");

}  // namespace

// QIcon hands an SVG file to Qt's SVG icon engine, which draws it afresh at every size and
// device pixel ratio asked for, so the pictures stay sharp at any scale.
QIcon ToolbarIcon(ToolbarPicture picture) {
    return QIcon(ToolbarResource(picture));
}

QIcon ProgramIcon() {
    return QIcon(kProgramIconResource);
}

QPixmap ProgramPixmap(int size, qreal devicePixelRatio) {
    return ProgramIcon().pixmap(QSize(size, size), devicePixelRatio);
}

}  // namespace qv
