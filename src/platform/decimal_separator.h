#pragma once

#include <string>

namespace qv {

// The decimal separator of the user's number format (LC_ALL, LC_NUMERIC or LANG), read from
// the system each call; "." when the locale cannot be loaded or names none.
std::string LocaleDecimalSeparator();

// LocaleDecimalSeparator as read on the first call; the program uses that one for the whole
// run. Safe to call from several threads.
const std::string& ProgramDecimalSeparator();

}  // namespace qv
