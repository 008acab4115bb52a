#include "app/title_list_form.h"

#include <cstddef>
#include <string>

#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "table/table_file_format.h"

namespace qv {

namespace {

constexpr const char* kSettingsSection = "Title";

std::string DeleteQuestion(const std::string& title) {
    return "選択された表「 " + Cp932ToUtf8(title) + " 」" + "を" + "\n" + "本当に削除しますか？";
}

constexpr const char* kEraseQuestion = "本当にタイトル一覧を全て消去しますか？";

bool AskYesNo(WindowSystem& windows, const std::string& question) {
    return windows.ShowMessage(question, MessageKind::Confirmation,
                               MessageButton::Yes | MessageButton::No) == MessageButton::Yes;
}

// Only a table file is deleted: an entry may name any file (a hand-edited history file, or a
// path reused for something else since), and the user was asked about a table.
bool IsTableFile(const std::string& path) {
    try {
        return StartsWithTableFileMark(ReadFilePrefix(path, kTableFileMarkPrefixLength));
    } catch (const Failure&) {
        return false;
    }
}

}  // namespace

TitleListForm::TitleListForm(TitleListHost& main, WindowSystem& windows)
    : main_(main), windows_(windows) {}

void TitleListForm::Start() {
    WindowGeometry geometry = kDesignGeometry;
    RestoreGeometry(main_.Stores().settingsFile, kSettingsSection, geometry);
    windows_.SetTitleListWindowGeometry(geometry);
}

void TitleListForm::Activated() {
    main_.ClearFirstActivate();
}

void TitleListForm::Closing() {
    StoreGeometry(main_.Stores().settingsFile, kSettingsSection,
                  windows_.TitleListWindowGeometry());
}

bool TitleListForm::IsEntry(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < main_.Titles().Size();
}

void TitleListForm::ReopenSelected(int selectedIndex) {
    if (!IsEntry(selectedIndex)) {
        return;
    }
    // Taken before the question: saving the changes moves their table to the top of the list.
    const std::string path = main_.Titles().Path(static_cast<std::size_t>(selectedIndex));
    main_.ReopenTable(path);
}

void TitleListForm::DeleteSelected(int selectedIndex) {
    if (!IsEntry(selectedIndex)) {
        return;
    }
    const auto index = static_cast<std::size_t>(selectedIndex);
    const std::string path = main_.Titles().Path(index);
    if (!AskYesNo(windows_, DeleteQuestion(main_.Titles().Title(index)))) {
        return;
    }
    // To the trash, so that a table deleted by mistake can be restored; deleted where there is
    // no trash.
    if (IsTableFile(path) && !windows_.MoveToTrash(path)) {
        DeleteFileQuietly(path);
    }
    main_.Titles().Remove(index);
    windows_.TitleListChanged();
    main_.SaveTitleList();
}

void TitleListForm::EraseAll() {
    if (!AskYesNo(windows_, kEraseQuestion)) {
        return;
    }
    main_.Titles().Clear();
    windows_.TitleListChanged();
    DeleteFileQuietly(main_.Stores().historyFile);
}

void TitleListForm::Close() {
    main_.SetLoadRequest(false);
    Closing();
    windows_.HideTitleListWindow();
}

}  // namespace qv
