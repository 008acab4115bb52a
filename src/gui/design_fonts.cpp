#include "gui/design_fonts.h"

#include <QString>
#include <QStringList>

#include "gui/program_info.h"

namespace qv {

// The fonts of the design are those of a Japanese Windows; the IPA fonts are drawn to the same
// measures. "System" and "Terminal" were fixed-pitch gothic faces there.
void MapDesignFonts() {
    QFont::insertSubstitutions(QString::fromUtf8(kMinchoFont),
                               {QStringLiteral("IPAMincho"), QStringLiteral("IPAexMincho"),
                                QStringLiteral("Noto Serif CJK JP")});
    QFont::insertSubstitutions(QString::fromUtf8(kGothicFont),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                                QStringLiteral("Noto Sans CJK JP")});
    for (const char* fixedPitch : {kSystemFont, kTerminalFont}) {
        QFont::insertSubstitutions(QString::fromUtf8(fixedPitch),
                                   {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"),
                                    QStringLiteral("Noto Sans Mono CJK JP")});
    }
}

QFont GridFont() {
    MapDesignFonts();
    return DesignFont(kMinchoFont, 15);
}

}  // namespace qv
