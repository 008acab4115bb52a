#include "gui/edited_text.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "gui/cp932_input.h"
#include "platform/cp932.h"

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

// The line breaks of what the user changed in `input` (the part that differs from `shown`)
// become what `lineBreaks` says; the cursor keeps its place after them.
void MendLineBreaks(QString& input, int& position, const QString& shown, LineBreaks lineBreaks) {
    const qsizetype most = std::min(input.size(), shown.size());
    qsizetype begin = 0;
    while (begin < most && input[begin] == shown[begin]) {
        ++begin;
    }
    qsizetype suffix = 0;
    while (suffix < most - begin &&
           input[input.size() - 1 - suffix] == shown[shown.size() - 1 - suffix]) {
        ++suffix;
    }
    const qsizetype end = input.size() - suffix;
    const QStringView changed = QStringView(input).mid(begin, end - begin);
    QString mended;
    mended.reserve(changed.size());
    for (qsizetype i = 0; i < changed.size(); ++i) {
        const QChar c = changed[i];
        if (c == QChar(u'\r')) {
            if (i + 1 < changed.size() && changed[i + 1] == QChar(u'\n')) {
                ++i;
            }
            mended += lineBreaks == LineBreaks::Spaces ? QChar(u' ') : QChar(u'\n');
        } else if (c == QChar(u'\n') && lineBreaks == LineBreaks::Spaces) {
            mended += QChar(u' ');
        } else if (c != QChar(u'\x1a')) {
            mended += c;
        }
    }
    if (mended == changed) {
        return;
    }
    const qsizetype shrunk = changed.size() - mended.size();
    input.replace(begin, end - begin, mended);
    position = static_cast<int>(
        position >= end ? position - shrunk : std::min(qsizetype{position}, begin + mended.size()));
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

EditedTextValidator::EditedTextValidator(std::function<std::string()> original, QObject* parent,
                                         LineBreaks lineBreaks)
    : QValidator(parent), original_(std::move(original)), lineBreaks_(lineBreaks) {}

QValidator::State EditedTextValidator::validate(QString& input, int& position) const {
    const std::string original = original_();
    if (lineBreaks_ != LineBreaks::AsTyped) {
        MendLineBreaks(input, position, DecodeCp932(original), lineBreaks_);
    }
    // Encoding the whole text is quicker and accepts no more than encoding the change does.
    if (EncodeTyped(input) || EncodeEditedText(original, input)) {
        return Acceptable;
    }
    if (refused_) {
        if (const std::optional<char32_t> character = FirstUnencodableCharacter(input)) {
            refused_(*character);
        }
    }
    return Invalid;
}

std::optional<char32_t> FirstUnencodableCharacter(const QString& text) {
    std::optional<char32_t> standIn;
    for (const char32_t character : text.toUcs4()) {
        if (IsCp932Representable(character)) {
            continue;
        }
        if (character != QChar::ReplacementCharacter) {
            return character;
        }
        standIn = standIn.value_or(character);
    }
    return standIn;
}

QString RefusedCharacterNotice(char32_t character) {
    return QStringLiteral("「%1」は入力できません").arg(QString::fromUcs4(&character, 1));
}

QString RefusedCharacterReason(char32_t character) {
    return QStringLiteral("「%1」(U+%2) は Shift-JIS で表せないため入力できません")
        .arg(QString::fromUcs4(&character, 1),
             QString::number(character, 16).toUpper().rightJustified(4, QChar(u'0')));
}

}  // namespace qv
