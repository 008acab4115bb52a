#include "platform/decimal_separator.h"

#include <langinfo.h>
#include <locale.h>

namespace qv {

std::string LocaleDecimalSeparator() {
    locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return ".";
    }
    const char* radix = nl_langinfo_l(RADIXCHAR, locale);
    std::string separator = radix != nullptr && radix[0] != '\0' ? radix : ".";
    freelocale(locale);
    return separator;
}

const std::string& ProgramDecimalSeparator() {
    static const std::string separator = LocaleDecimalSeparator();
    return separator;
}

}  // namespace qv
