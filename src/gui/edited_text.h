#pragma once

#include <QString>
#include <QValidator>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The bytes of a text box's text after the user edited it. `original` holds the bytes the box
// showed (decoded by DecodeCp932), `edited` the box's text now. The unchanged start and end keep
// their exact bytes, even bytes that are no valid CP932; only the changed middle is encoded,
// under the rules of EncodeTyped (nothing when it refuses the middle).
std::optional<std::string> EncodeEditedText(std::string_view original, const QString& edited);

// What a box does with the line breaks typed or pasted into it.
enum class LineBreaks {
    AsTyped,   // left to EncodeTyped, which refuses a CR
    CellData,  // kept as the table file stores them: CR LF and CR become LF; 0x1A goes
    Spaces,    // CR LF, CR and LF become a space; 0x1A goes
};

// Keeps out of a one-line box every edit that EncodeEditedText refuses, so that what the user
// types can always be stored. `original` tells the bytes the box's edit starts from. Line
// breaks in the changed part become what `lineBreaks` says; the part the user left alone keeps
// its own. An edit refused for a character CP932 cannot hold is told to `refused`, if set.
class EditedTextValidator : public QValidator {
    Q_OBJECT
public:
    EditedTextValidator(std::function<std::string()> original, QObject* parent,
                        LineBreaks lineBreaks = LineBreaks::AsTyped);
    State validate(QString& input, int& position) const override;
    void setRefusalHandler(std::function<void(char32_t)> refused) { refused_ = std::move(refused); }

private:
    std::function<std::string()> original_;
    LineBreaks lineBreaks_;
    std::function<void(char32_t)> refused_;
};

// The character that makes EncodeTyped refuse `text`: the first that CP932 cannot hold, a stand-in
// U+FFFD only when nothing else is to blame; nothing when the text holds none.
std::optional<char32_t> FirstUnencodableCharacter(const QString& text);

// The status bar's word on a refused character, short enough for the designed window, e.g.
// "「😀」は入力できません", and the whole reason for its tool tip: "「😀」(U+1F600) は
// Shift-JIS で表せないため入力できません".
QString RefusedCharacterNotice(char32_t character);
QString RefusedCharacterReason(char32_t character);

}  // namespace qv
