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

// Keeps out of a one-line box every edit that EncodeEditedText refuses, so that what the user
// types can always be stored. `original` tells the bytes the box's edit starts from.
class EditedTextValidator : public QValidator {
    Q_OBJECT
public:
    EditedTextValidator(std::function<std::string()> original, QObject* parent);
    State validate(QString& input, int& position) const override;

private:
    std::function<std::string()> original_;
};

}  // namespace qv
