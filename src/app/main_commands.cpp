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
    {kItem, "ファイル(&F) > タイトル一覧(&L)", "K6", [](F& f) { f.ShowTitleList(); }, kNoPicture},
    {kItem, "ファイル(&F) > ファイルを開く(&O)", "Open1", [](F& f) { f.Files().LoadTableFile(); }, kNoPicture},
    {kItem, "ファイル(&F) > 保存(&S) > 上書き(&S)", "KO1", [](F& f) { f.Files().SaveFile(); }, kNoPicture},
    {kItem, "ファイル(&F) > 保存(&S) > 別名保存(&A)", "K21", [](F& f) { f.Files().SaveFileAs(); }, kNoPicture},
    {kSeparator, "ファイル(&F)", "", nullptr, kNoPicture},
    {kItem, "ファイル(&F) > 使い方(&H)", "Tutorial1", [](F& f) { f.ShowHelpContents(); }, kNoPicture},
    {kItem, "ファイル(&F) > Quorvaneについて(&A)", "KQuorvane1", [](F& f) { f.ShowAbout(); }, kNoPicture},
    {kSeparator, "ファイル(&F)", "", nullptr, kNoPicture},
    {kItem, "ファイル(&F) > CSV/TSVの読み込み(&I)", "ImportCsv1", [](F& f) { f.Interchange().ImportDelimitedFile(); }, kNoPicture},
    {kItem, "ファイル(&F) > CSV/TSVへの書き出し(&E)", "ExportCsv1", [](F& f) { f.Interchange().ExportDelimitedFile(); }, kNoPicture},
    {kItem, "ファイル(&F) > 印刷(&P)...", "Print1", [](F& f) { f.Printing().PrintTable(); }, kNoPicture, "Ctrl+P"},
    {kItem, "ファイル(&F) > PDFへの書き出し(&D)...", "ExportPdf1", [](F& f) { f.Printing().ExportPdf(); }, kNoPicture},
    {kSeparator, "ファイル(&F)", "", nullptr, kNoPicture},
    {kItem, "ファイル(&F) > 終了(&X)", "Exit1", [](F& f) { f.Exit(); }, kNoPicture},

    {kItem, "編集(&E) > 現在行を削除(&D)", "Delete2", [](F& f) { f.Rows().DeleteRow(); }, kNoPicture},
    {kItem, "編集(&E) > 新しい行を前に挿入(&I)", "K12", [](F& f) { f.Rows().InsertRowBefore(); }, kNoPicture},
    {kItem, "編集(&E) > 新しい行を次に挿入(&A)", "K13", [](F& f) { f.Rows().InsertRowAfter(); }, kNoPicture},
    {kItem, "編集(&E) > 削除した行を貼り付け(&P)", "K14", [](F& f) { f.Rows().PasteDeletedRow(); }, kNoPicture},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 列の追加(&M)", "K16", [](F& f) { f.Rows().AddColumn(); }, kNoPicture},
    {kItem, "編集(&E) > 列の削除(&R)", "K17", [](F& f) { f.Rows().DeleteColumn(); }, kNoPicture},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 全データ消去(&E)", "K22", [](F& f) { f.Rows().ClearAllAfterConfirmation(); }, kNoPicture},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 元に戻す(&U)", "Undo1", [](F& f) { f.Undo(); }, kNoPicture, "Ctrl+Z", [](const F& f) { return f.Document().CanUndo(); }},
    {kItem, "編集(&E) > やり直し(&Y)", "Redo1", [](F& f) { f.Redo(); }, kNoPicture, "Ctrl+Y; Ctrl+Shift+Z", [](const F& f) { return f.Document().CanRedo(); }},
    {kItem, "編集(&E) > 切り取り(&T)", "Cut1", [](F& f) { f.Clipboard().CutSelection(); }, kNoPicture, "Ctrl+X"},
    {kItem, "編集(&E) > コピー(&C)", "Copy1", [](F& f) { f.Clipboard().CopySelection(); }, kNoPicture, "Ctrl+C"},
    {kItem, "編集(&E) > 貼り付け(&V)", "Paste1", [](F& f) { f.Clipboard().PasteClipboard(); }, kNoPicture, "Ctrl+V"},
    {kItem, "編集(&E) > 消去(&L)", "Clear1", [](F& f) { f.Clipboard().ClearSelection(); }, kNoPicture, "Del"},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 行へ移動(&G)", "GoToRow1", [](F& f) { f.Tools().OpenGoToRowDialog(); }, kNoPicture, "Ctrl+G"},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 検索(&F)", "Find1", [](F& f) { f.Search().OpenFindBar(); }, kNoPicture, "Ctrl+F"},
    {kItem, "編集(&E) > 次を検索(&N)", "FindNext1", [](F& f) { f.Search().FindNext(); }, kNoPicture, "F3"},
    {kItem, "編集(&E) > 前を検索(&B)", "FindPrevious1", [](F& f) { f.Search().FindPrevious(); }, kNoPicture, "Shift+F3"},
    {kItem, "編集(&E) > 置換(&H)", "Replace1", [](F& f) { f.Search().OpenReplaceBar(); }, kNoPicture, "Ctrl+H"},
    {kSeparator, "編集(&E)", "", nullptr, kNoPicture},
    {kItem, "編集(&E) > 下方向へコピー(&D)", "FillDown1", [](F& f) { f.Lists().FillDown(); }, kNoPicture, "Ctrl+D"},

    {kItem, "ツール(&T) > 計算(&C)", "KC1", [](F& f) { f.Tools().ShowColumnStatistics(); }, kNoPicture},
    {kItem, "ツール(&T) > 計数(&N)", "K25", [](F& f) { f.Tools().OpenMatchCountDialog(); }, kNoPicture},
    {kItem, "ツール(&T) > 項目名設定(&I)", "K19", [](F& f) { f.Tools().OpenItemNameDialog(); }, kNoPicture},
    {kSeparator, "ツール(&T)", "", nullptr, kNoPicture},
    {kItem, "ツール(&T) > 昇順に並べ替え(&A)", "SortAscending1", [](F& f) { f.Sorting().SortAscending(); }, kNoPicture},
    {kItem, "ツール(&T) > 降順に並べ替え(&D)", "SortDescending1", [](F& f) { f.Sorting().SortDescending(); }, kNoPicture},

    {kItem, "データ(&D) > フィルター(&F)...", "Filter1", [](F& f) { f.Filter().OpenFilterBar(); }, kNoPicture, "Ctrl+Shift+L", nullptr, [](const F& f) { return f.Document().Shown().Filtered(); }},
    {kItem, "データ(&D) > フィルターの解除(&C)", "ClearFilter1", [](F& f) { f.Filter().ClearFilter(); }, kNoPicture},
    {kSeparator, "データ(&D)", "", nullptr, kNoPicture},
    {kItem, "データ(&D) > 重複行の削除(&U)...", "RemoveDuplicates1", [](F& f) { f.Lists().RemoveDuplicateRows(); }, kNoPicture},
    {kItem, "データ(&D) > 列の分割(&S)...", "SplitColumn1", [](F& f) { f.Lists().SplitColumn(); }, kNoPicture},
    {kItem, "データ(&D) > 列の結合(&J)...", "JoinColumns1", [](F& f) { f.Lists().JoinColumns(); }, kNoPicture},
    {kItem, "データ(&D) > 列幅の自動調整(&W)", "FitWidths1", [](F& f) { f.Lists().FitColumnWidths(); }, kNoPicture},
    {kItem, "データ(&D) > 並べ替え(&O)...", "SortByKeys1", [](F& f) { f.Sorting().SortByKeys(); }, kNoPicture},
    {kSeparator, "データ(&D)", "", nullptr, kNoPicture},
    {kItem, "データ(&D) > 文字種の変換(&K) > 全角英数字→半角", "ToHalfWidth1", [](F& f) { f.JapaneseText().ConvertSelection(CharacterConversion::ToHalfWidthAlphanumerics); }, kNoPicture},
    {kItem, "データ(&D) > 文字種の変換(&K) > 半角英数字→全角", "ToFullWidth1", [](F& f) { f.JapaneseText().ConvertSelection(CharacterConversion::ToFullWidthAlphanumerics); }, kNoPicture},
    {kItem, "データ(&D) > 文字種の変換(&K) > 半角カナ→全角カナ", "ToFullWidthKana1", [](F& f) { f.JapaneseText().ConvertSelection(CharacterConversion::ToFullWidthKana); }, kNoPicture},
    {kItem, "データ(&D) > 文字種の変換(&K) > カタカナ→ひらがな", "ToHiragana1", [](F& f) { f.JapaneseText().ConvertSelection(CharacterConversion::ToHiragana); }, kNoPicture},
    {kItem, "データ(&D) > 文字種の変換(&K) > ひらがな→カタカナ", "ToKatakana1", [](F& f) { f.JapaneseText().ConvertSelection(CharacterConversion::ToKatakana); }, kNoPicture},
    {kItem, "データ(&D) > 文字種の変換(&K) > 前後の空白を削除", "TrimBlanks1", [](F& f) { f.JapaneseText().ConvertSelection(CharacterConversion::TrimBlanks); }, kNoPicture},
    {kItem, "データ(&D) > ふりがな列の作成(&K)", "Furigana1", [](F& f) { f.JapaneseText().MakeFuriganaColumn(); }, kNoPicture},
    {kSeparator, "データ(&D)", "", nullptr, kNoPicture},
    {kItem, "データ(&D) > 表の比較(&M)...", "CompareTables1", [](F& f) { f.Compare().CompareWithFile(); }, kNoPicture},

    {kButton, "タイトル一覧を表示", "SpeedButton4", [](F& f) { f.ShowTitleList(); }, ToolbarPicture::OpenFolder},
    {kButton, "ファイルの上書き保存", "SpeedButton5", [](F& f) { f.Files().SaveFile(); }, ToolbarPicture::Floppy},
    {kButton, "現在行の次に行を挿入", "SpeedButton7", [](F& f) { f.Rows().InsertRowAfter(); }, ToolbarPicture::InsertRow},
    {kButton, "現在行の削除", "SpeedButton1", [](F& f) { f.Rows().DeleteRow(); }, ToolbarPicture::DeleteRow},
    {kButton, "計算", "SpeedButton8", [](F& f) { f.Tools().ShowColumnStatistics(); }, ToolbarPicture::Calculator},
    {kButton, "使い方，バージョン情報の表示", "SpeedButton2", [](F& f) { f.ShowHelpSearch(); }, ToolbarPicture::Help},
    {kButton, "このプログラムを終了", "SpeedButton3", [](F& f) { f.CloseTitleListAndExit(); }, ToolbarPicture::ExitDoor},
};
// clang-format on

}  // namespace

std::span<const MainCommand> MainCommands() {
    return kMainCommands;
}

}  // namespace qv
