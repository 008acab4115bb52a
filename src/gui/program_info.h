#pragma once

#include <QFont>
#include <QString>

namespace qv {

// The program's title: the caption of the failure box.
inline constexpr const char* kProgramTitle = "Quorvane 1.00";
// The help file, named without a folder.
inline constexpr const char* kHelpFileName = "Quorvane.hlp";

// The font names the windows were designed with; start-up maps them to installed fonts.
inline constexpr const char* kGothicFont = "ＭＳ Ｐゴシック";
inline constexpr const char* kMinchoFont = "ＭＳ 明朝";
inline constexpr const char* kSystemFont = "System";
inline constexpr const char* kTerminalFont = "Terminal";

// The frame of a fixed-size dialog box: a caption with a close box, no minimise or maximise box.
inline constexpr Qt::WindowFlags kFixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
    Qt::MSWindowsFixedSizeDialogHint;

// A font as the windows were designed: a family and a character height in pixels.
inline QFont DesignFont(const char* family, int characterHeight) {
    QFont font(QString::fromUtf8(family));
    font.setPixelSize(characterHeight);
    return font;
}

}  // namespace qv
