#include "gui/cp932_input.h"

#include <algorithm>

#include "platform/cp932.h"

namespace qv {

QString DecodeCp932(std::string_view cp932) {
    const bool ascii = std::all_of(cp932.begin(), cp932.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        // Plain ASCII reads the same in CP932; skipping the converter keeps painting fast.
        return QString::fromLatin1(cp932.data(), static_cast<qsizetype>(cp932.size()));
    }
    const std::string utf8 = Cp932ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> EncodeTyped(const QString& text) {
    if (!text.isValidUtf16() || text.contains(QChar(u'\r')) || text.contains(QChar(u'\x1a'))) {
        return std::nullopt;
    }
    return Utf8ToCp932(text.toStdString());
}

QValidator::State Cp932Validator::validate(QString& input, int& /*pos*/) const {
    return EncodeTyped(input) ? Acceptable : Invalid;
}

}  // namespace qv
