#include "gui/icons.h"

#include <QPainter>
#include <QString>
#include <QSvgRenderer>

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

QPixmap Render(const QString& resource, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QIcon IconInSizes(const QString& resource, std::initializer_list<int> sizes) {
    QIcon icon;
    for (int size : sizes) {
        icon.addPixmap(Render(resource, size));
    }
    return icon;
}

}  // namespace

QIcon ToolbarIcon(ToolbarPicture picture) {
    return IconInSizes(ToolbarResource(picture), {16, 32});
}

QIcon ProgramIcon() {
    return IconInSizes(kProgramIconResource, {16, 32, 48, 64});
}

QPixmap ProgramPixmap(int size) {
    return Render(kProgramIconResource, size);
}

}  // namespace qv
