#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/window_system.h"
#include "history/title_list.h"
#include "platform/program_paths.h"
#include "table/table_grid.h"

namespace qv {

class TForm_History;

// The main window's logic: the table it owns, its three fields, every handler and command.
// It reaches the windowing system only through WindowSystem. Commands raise Failure; the view
// shows it in the failure box and the program carries on with the state the command reached.
class TFormMain : private TableGridObserver {
public:
    // `stores` names the settings and history files; `decimalSeparator` is the locale's, read
    // once at start.
    TFormMain(WindowSystem& windows, StoreLocations stores, std::string decimalSeparator);
    ~TFormMain() override;
    TFormMain(const TFormMain&) = delete;
    TFormMain& operator=(const TFormMain&) = delete;

    void AttachTitleListWindow(TForm_History* history) { history_ = history; }

    // --- The table ---
    TableGrid& StringGrid() { return grid_; }
    const TableGrid& StringGrid() const { return grid_; }
    TableGrid& StringGrid_Buff() { return buffer_; }
    const TableGrid& StringGrid_Buff() const { return buffer_; }
    // The title (CP932 bytes). SetEditTitle is how the view stores what the user types.
    const std::string& EditTitle() const { return title_; }
    void SetEditTitle(std::string title) { title_ = std::move(title); }
    // The title list shown by the title list window (titles) and its hidden path list.
    TitleList& Titles() { return titles_; }
    const TitleList& Titles() const { return titles_; }

    // --- Fields ---
    const std::string& CurFileName() const { return curFileName_; }
    void SetCurFileName(std::string path) { curFileName_ = std::move(path); }
    bool LoadRequest() const { return loadRequest_; }
    // Clearing the request also drops a path that RequestLoad left pending.
    void SetLoadRequest(bool request) {
        loadRequest_ = request;
        if (!request) {
            pendingLoadPath_.reset();
        }
    }
    // Asks the next LoadTableFile to read `path` without the open dialog (the title list's
    // reopen). CurFileName takes the path only once the file has loaded; until then it keeps
    // naming the table shown. With no pending path, LoadRequest alone reads CurFileName.
    void RequestLoad(std::string path) {
        pendingLoadPath_ = std::move(path);
        loadRequest_ = true;
    }
    bool FirstActivate() const { return firstActivate_; }
    void ClearFirstActivate() { firstActivate_ = false; }
    // The file names the open and save dialogs open with.
    const std::string& OpenDialogFileName() const { return openDialogFileName_; }
    const std::string& SaveDialogFileName() const { return saveDialogFileName_; }
    void SetSaveDialogFileName(std::string path) { saveDialogFileName_ = std::move(path); }
    const StoreLocations& Stores() const { return stores_; }

    // --- Start-up, activation, close ---
    void FormCreate();
    void FormActivate();
    // Raises Failure when the title list or the geometry cannot be written: the window stays.
    void FormClose();
    // The title box's width for the window's outer width.
    static int32_t TitleBoxWidth(int32_t outerWidth) { return outerWidth - 65; }

    // --- File commands ---
    void LoadTableFile();
    void SaveFile();
    void SaveFileAs();
    // A file name holding a CR or 0x1A is refused with Failure before anything is changed.
    void WriteTableFile();

    // --- Title list ---
    void UpdateHistory();
    void LoadHistory();
    // Writes the title list, first taking in what other copies of the program saved meanwhile.
    void SaveHistory();

    // --- Table-wide operations ---
    void RenumberRows();
    void ClearAll();

    // --- Row and column editing ---
    void DeleteRow();
    void InsertRow(int32_t index);
    void PasteRow(int32_t row);
    void CopyRowToBuff(int32_t row);
    void AddColumn();
    void DeleteColumn();
    void ClearAllAfterConfirmation();
    void StringGridRowMoved(int32_t from, int32_t to);

    // --- Column tools ---
    void CalcColumn();
    // Item name dialog: the text its box shows when it opens, and what OK stores.
    std::string ItemNameForDialog() const;
    void SetItemName(std::string_view name);
    // Match count dialog's OK: counts the current column's cells equal to the text and shows it.
    void CountMatches(std::string_view searchText);

    // --- The command map: menu items and toolbar buttons ---
    void K6Click();            // ファイル > タイトル一覧
    void Open1Click();         // ファイル > ファイルを開く
    void KO1Click();           // ファイル > 保存 > 上書き
    void K21Click();           // ファイル > 保存 > 別名保存
    void Tutorial1Click();     // ファイル > 使い方
    void KQuorvane1Click();    // ファイル > Quorvaneについて
    void Exit1Click();         // ファイル > 終了
    void Delete2Click();       // 編集 > 現在行を削除
    void K12Click();           // 編集 > 新しい行を前に挿入
    void K13Click();           // 編集 > 新しい行を次に挿入
    void K14Click();           // 編集 > 削除した行を貼り付け
    void K16Click();           // 編集 > 列の追加
    void K17Click();           // 編集 > 列の削除
    void K22Click();           // 編集 > 全データ消去
    void KC1Click();           // ツール > 計算
    void K25Click();           // ツール > 計数
    void K19Click();           // ツール > 項目名設定
    void SpeedButton4Click();  // タイトル一覧を表示
    void SpeedButton5Click();  // ファイルの上書き保存
    void SpeedButton7Click();  // 現在行の次に行を挿入
    void SpeedButton1Click();  // 現在行の削除
    void SpeedButton8Click();  // 計算
    void SpeedButton2Click();  // 使い方，バージョン情報の表示
    void SpeedButton3Click();  // このプログラムを終了

private:
    void RowMoved(int32_t from, int32_t to) override { StringGridRowMoved(from, to); }
    bool ConfirmReplacing(const std::string& path);
    // Raises Failure for a file name the title list's file cannot hold, before anything is
    // written.
    void RefuseNameTheHistoryCannotHold(const std::string& path);

    WindowSystem& windows_;
    StoreLocations stores_;
    std::string decimalSeparator_;
    TForm_History* history_ = nullptr;

    TableGrid grid_;
    TableGrid buffer_;
    std::string title_;
    TitleList titles_;

    std::string curFileName_;
    bool loadRequest_ = false;
    std::optional<std::string> pendingLoadPath_;
    bool firstActivate_ = true;
    std::string openDialogFileName_;
    std::string saveDialogFileName_;
};

}  // namespace qv
