#include "gui/edited_text.h"

#include <cstddef>
#include <vector>

#include "gui/cp932_input.h"

namespace qv {

namespace {

// One character's worth of original bytes and what it shows as.
struct ShownUnit {
    std::size_t begin = 0;
    QString text;
};

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

std::vector<ShownUnit> SplitIntoUnits(std::string_view bytes) {
    std::vector<ShownUnit> units;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t length = 1;
        if (IsLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() &&
            IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            length = 2;
        }
        units.push_back(ShownUnit{i, DecodeCp932(bytes.substr(i, length))});
        i += length;
    }
    return units;
}

}  // namespace

std::optional<std::string> EncodeEditedText(std::string_view original, const QString& edited) {
    const std::vector<ShownUnit> units = SplitIntoUnits(original);
    const QStringView shown(edited);

    std::size_t prefixUnits = 0;
    qsizetype prefixChars = 0;
    while (prefixUnits < units.size() &&
           shown.mid(prefixChars).startsWith(units[prefixUnits].text)) {
        prefixChars += units[prefixUnits].text.size();
        ++prefixUnits;
    }
    std::size_t suffixStart = units.size();
    qsizetype suffixChars = 0;
    while (suffixStart > prefixUnits) {
        const QString& text = units[suffixStart - 1].text;
        const qsizetype at = shown.size() - suffixChars - text.size();
        if (at < prefixChars || shown.mid(at, text.size()) != text) {
            break;
        }
        suffixChars += text.size();
        --suffixStart;
    }

    const QString middle =
        shown.mid(prefixChars, shown.size() - prefixChars - suffixChars).toString();
    std::optional<std::string> middleBytes = EncodeTyped(middle);
    if (!middleBytes) {
        return std::nullopt;
    }
    const auto unitBegin = [&](std::size_t unit) {
        return unit < units.size() ? units[unit].begin : original.size();
    };
    std::string bytes(original.substr(0, unitBegin(prefixUnits)));
    bytes += *middleBytes;
    bytes += original.substr(unitBegin(suffixStart));
    return bytes;
}

EditedTextValidator::EditedTextValidator(std::function<std::string()> original, QObject* parent)
    : QValidator(parent), original_(std::move(original)) {}

QValidator::State EditedTextValidator::validate(QString& input, int& /*position*/) const {
    return EncodeEditedText(original_(), input) ? Acceptable : Invalid;
}

}  // namespace qv
