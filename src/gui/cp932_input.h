#pragma once

#include <QString>
#include <QValidator>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// A CP932 text of the model as the widgets show it. Bytes that are not valid CP932 show as
// U+FFFD; the model's bytes themselves are never touched by showing them.
QString DecodeCp932(std::string_view cp932);

// The CP932 bytes of a text the user typed, or nothing when a table file could not hold it: a
// character that CP932 has no code for, a CR (it would end the line) or the byte 0x1A (it would
// end the file). Nothing is ever replaced by a stand-in.
std::optional<std::string> EncodeTyped(const QString& text);

// Refuses, as they are typed or pasted, the texts EncodeTyped refuses.
class Cp932Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

}  // namespace qv
