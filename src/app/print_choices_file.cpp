#include "app/print_choices_file.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/program_paths.h"

namespace qv {

namespace {

constexpr const char* kSection = "Print";

// A two-valued choice is stored as 0 or 1; anything else reads as the first, the default.
template <typename Choice>
Choice ReadPair(const SettingsFile& file, const char* key, Choice zero, Choice one) {
    return file.ReadSettingNumber(kSection, key, 0) == 1 ? one : zero;
}

}  // namespace

std::string PrintChoicesPath() {
    const std::string folder = ProgramConfigFolder();
    return folder.empty() ? std::string() : folder + "/print.ini";
}

PrintChoices ReadPrintChoices(const std::string& path) {
    PrintChoices choices;
    if (path.empty()) {
        return choices;
    }
    const SettingsFile file(path);
    choices.paper = PaperFromName(file.ReadString(kSection, "Paper", "")).value_or(choices.paper);
    choices.orientation =
        ReadPair(file, "Landscape", PageOrientation::Portrait, PageOrientation::Landscape);
    choices.marginMm = std::clamp(file.ReadSettingNumber(kSection, "MarginMm", choices.marginMm),
                                  kMinMarginMm, kMaxMarginMm);
    choices.scaling =
        ReadPair(file, "FitWidth", ColumnScaling::AsOnScreen, ColumnScaling::FitPageWidth);
    choices.rows = ReadPair(file, "SelectedRows", PrintedRows::All, PrintedRows::Selection);
    if (choices.rows == PrintedRows::All) {
        choices.rows = ReadPair(file, "ShownRows", PrintedRows::All, PrintedRows::Shown);
    }
    choices.gridLines = ReadPair(file, "NoGridLines", GridLines::Shown, GridLines::Hidden);
    choices.overflow = ReadPair(file, "Wrap", CellOverflow::Clip, CellOverflow::Wrap);
    return choices;
}

void WritePrintChoices(const std::string& path, const PrintChoices& choices) {
    if (path.empty()) {
        return;
    }
    auto flag = [](bool on) { return on ? "1" : "0"; };
    const std::string text =
        std::string("[Print]\r\nPaper=") + PaperName(choices.paper) +
        "\r\nLandscape=" + flag(choices.orientation == PageOrientation::Landscape) +
        "\r\nMarginMm=" + std::to_string(choices.marginMm) +
        "\r\nFitWidth=" + flag(choices.scaling == ColumnScaling::FitPageWidth) +
        "\r\nSelectedRows=" + flag(choices.rows == PrintedRows::Selection) +
        "\r\nShownRows=" + flag(choices.rows == PrintedRows::Shown) +
        "\r\nNoGridLines=" + flag(choices.gridLines == GridLines::Hidden) +
        "\r\nWrap=" + flag(choices.overflow == CellOverflow::Wrap) + "\r\n";
    ReplaceFileAtomically(path, text);
}

}  // namespace qv
