#pragma once

#include <string>

#include "view/print_layout.h"

namespace qv {

// The print choices are remembered between runs in a file of their own ("print.ini" in the
// program's configuration folder), never in the settings file.
std::string PrintChoicesPath();

// The choices the file holds; a missing file, or a value the program does not know, gives the
// default for it.
PrintChoices ReadPrintChoices(const std::string& path);
// Replaces the file atomically; raises Failure when it cannot be written.
void WritePrintChoices(const std::string& path, const PrintChoices& choices);

}  // namespace qv
