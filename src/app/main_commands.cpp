// The main window's menus and toolbar, and the command each item and button runs.
#include "app/main_commands.h"

#include "app/main_form.h"

namespace qv {

namespace {

constexpr CommandPlace kItem = CommandPlace::MenuItem;
constexpr CommandPlace kSeparator = CommandPlace::MenuSeparator;
constexpr CommandPlace kButton = CommandPlace::ToolbarButton;
constexpr ToolbarPicture kNoPicture = ToolbarPicture::None;

using F = MainForm;

// clang-format off
constexpr MainCommand kMainCommands[] = {
    {kItem, "ファイル(&F) > タイトル一覧(&L)", "K6", &F::ShowTitleList, kNoPicture},
    {kItem, "ファイル(&F) > ファイルを開く(&O)", "Open1", &F::LoadTableFile, kNoPicture},
    {kItem, "ファイル(&F) > 保存(&S) > 上書き(&S)", "KO1", &F::SaveFile, kNoPicture},
    {kItem, "ファイル(&F) > 保存(&S) > 別名保存(&A)", "K21", &F::SaveFileAs, kNoPicture},
    {kSeparator, "ファイル(&F)", "", nullptr, kNoPicture},
    {kItem, "ファイル(&F) > 使い方(&H)", "Tutorial1", &F::ShowHelpContents, kNoPicture},
    {kItem, "ファイル(&F) > Quorvaneについて(&A)", "KQuorvane1", &F::ShowAbout, kNoPicture},
    {kSeparator, "ファイル(&F)", "", nullptr, kNoPicture},
    {kItem, "ファイル(&F) > CSV/TSVの読み込み(&I)", "ImportCsv1", &F::ImportDelimitedFile, kNoPicture},
    {kItem, "ファイル(&F) > CSV/TSVへの書き出し(&E)", "ExportCsv1", &F::ExportDelimitedFile, kNoPicture},
    {kItem, "ファイル(&F) > 印刷(&P)...", "Print1", &F::PrintTable, kNoPicture, "Ctrl+P"},
    {kItem, "ファイル(&F) > PDFへの書き出し(&D)...", "ExportPdf1", &F::ExportPdf, kNoPicture},
    {kSeparator, "ファイル(&F)", "", nullptr, kNoPicture},
    {kItem, "ファイル(&F) > 終了(&X)", "Exit1", &F::Exit, kNoPicture},

    {kItem, "編集(&E) > 現在行を削除(&D)", "Delete2", &F::DeleteRow, kNoPicture},
    {kItem, "編集(&E) > 新しい行を前に挿入(&I)", "K12", &F::InsertRowBefore, kNoPicture},
    {kItem, "編集(&E) > 新しい行を次に挿入(&A)", "K13", &F::InsertRowAfter, kNoPicture},
    {kItem, "編集(&E) > 削除した行を貼り付け(&P)", "K14", &F::PasteDeletedRow, kNoPicture},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 列の追加(&M)", "K16", &F::AddColumn, kNoPicture},
    {kItem, "編集(&E) > 列の削除(&R)", "K17", &F::DeleteColumn, kNoPicture},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 全データ消去(&E)", "K22", &F::ClearAllAfterConfirmation, kNoPicture},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 元に戻す(&U)", "Undo1", &F::Undo, kNoPicture, "Ctrl+Z", &F::CanUndo},
    {kItem, "編集(&E) > やり直し(&Y)", "Redo1", &F::Redo, kNoPicture, "Ctrl+Y; Ctrl+Shift+Z", &F::CanRedo},
    {kItem, "編集(&E) > 切り取り(&T)", "Cut1", &F::CutSelection, kNoPicture, "Ctrl+X"},
    {kItem, "編集(&E) > コピー(&C)", "Copy1", &F::CopySelection, kNoPicture, "Ctrl+C"},
    {kItem, "編集(&E) > 貼り付け(&V)", "Paste1", &F::PasteClipboard, kNoPicture, "Ctrl+V"},
    {kItem, "編集(&E) > 消去(&L)", "Clear1", &F::ClearSelection, kNoPicture, "Del"},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 行へ移動(&G)", "GoToRow1", &F::OpenGoToRowDialog, kNoPicture, "Ctrl+G"},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 検索(&F)", "Find1", &F::OpenFindBar, kNoPicture, "Ctrl+F"},
    {kItem, "編集(&E) > 次を検索(&N)", "FindNext1", &F::FindNext, kNoPicture, "F3"},
    {kItem, "編集(&E) > 前を検索(&B)", "FindPrevious1", &F::FindPrevious, kNoPicture, "Shift+F3"},
    {kItem, "編集(&E) > 置換(&H)", "Replace1", &F::OpenReplaceBar, kNoPicture, "Ctrl+H"},

    {kItem, "ツール(&T) > 計算(&C)", "KC1", &F::CalcColumn, kNoPicture},
    {kItem, "ツール(&T) > 計数(&N)", "K25", &F::OpenMatchCountDialog, kNoPicture},
    {kItem, "ツール(&T) > 項目名設定(&I)", "K19", &F::OpenItemNameDialog, kNoPicture},
    {kSeparator, "ツール(&T)", "", nullptr, kNoPicture},
    {kItem, "ツール(&T) > 昇順に並べ替え(&A)", "SortAscending1", &F::SortAscending, kNoPicture},
    {kItem, "ツール(&T) > 降順に並べ替え(&D)", "SortDescending1", &F::SortDescending, kNoPicture},

    {kButton, "タイトル一覧を表示", "SpeedButton4", &F::ShowTitleList, ToolbarPicture::OpenFolder},
    {kButton, "ファイルの上書き保存", "SpeedButton5", &F::SaveFile, ToolbarPicture::Floppy},
    {kButton, "現在行の次に行を挿入", "SpeedButton7", &F::InsertRowAfter, ToolbarPicture::InsertRow},
    {kButton, "現在行の削除", "SpeedButton1", &F::DeleteRow, ToolbarPicture::DeleteRow},
    {kButton, "計算", "SpeedButton8", &F::CalcColumn, ToolbarPicture::Calculator},
    {kButton, "使い方，バージョン情報の表示", "SpeedButton2", &F::ShowHelpFinder, ToolbarPicture::Help},
    {kButton, "このプログラムを終了", "SpeedButton3", &F::CloseTitleListAndExit, ToolbarPicture::ExitDoor},
};
// clang-format on

}  // namespace

std::span<const MainCommand> MainCommands() {
    return kMainCommands;
}

}  // namespace qv
