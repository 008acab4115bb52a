#pragma once

#include <QIcon>
#include <QPixmap>

namespace qv {

// The pictures of the toolbar buttons, left to right.
enum class ToolbarPicture {
    OpenFolder,  // タイトル一覧を表示
    Floppy,      // ファイルの上書き保存
    InsertRow,   // 現在行の次に行を挿入
    DeleteRow,   // 現在行の削除
    Calculator,  // 計算
    Help,        // 使い方，バージョン情報の表示
    ExitDoor,    // このプログラムを終了
};

// A toolbar picture at 16 x 16 (and sharper on dense screens); Qt greys it for the disabled
// state.
QIcon ToolbarIcon(ToolbarPicture picture);
// The program's icon: a small table in a dark blue frame.
QIcon ProgramIcon();
// The program's icon drawn at size x size pixels.
QPixmap ProgramPixmap(int size);

}  // namespace qv
