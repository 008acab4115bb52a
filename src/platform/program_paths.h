#pragma once

#include <string>

namespace qv {

// The full path of the running program file (from /proc/self/exe); the empty text when the
// system does not tell it.
std::string ProgramPath();

// Where the settings file and the input history live.
struct StoreLocations {
    std::string settingsFile;
    std::string historyFile;
};

// A copy of the program in a folder of its own that the user may write to (unpacked from an
// archive, say) keeps its files next to itself: the settings file is the program's path with
// its extension replaced by ".ini" (appended when the file name has none) and the history is
// "Quorvane.hst" in the same folder. A copy installed under a system folder (/usr, /opt, ...)
// or in a folder the user cannot write to keeps the same two file names in
// "$XDG_CONFIG_HOME/quorvane/", or "$HOME/.config/quorvane/" when XDG_CONFIG_HOME is unset,
// empty or relative; that folder is created when missing (a failure to create it shows later,
// when a file in it is written). With neither variable usable, the files stay next to the
// program. xdgConfigHome and home may be nullptr (unset). An empty programPath counts as an
// installed program named "Quorvane".
StoreLocations ResolveStoreLocations(const std::string& programPath, const char* xdgConfigHome,
                                     const char* home);

// ResolveStoreLocations for this running program and the user's environment.
StoreLocations ProgramStoreLocations();

// The folder for the program's state between runs (the recovery copies of unsaved tables):
// "$XDG_STATE_HOME/quorvane", or "$HOME/.local/state/quorvane" when XDG_STATE_HOME is unset,
// empty or relative; never beside the program. The empty text when neither variable is usable.
// Nothing is created. Either argument may be nullptr (unset).
std::string ResolveStateFolder(const char* xdgStateHome, const char* home);
// ResolveStateFolder for the user's environment.
std::string ProgramStateFolder();

// The folder for what the program remembers beyond the settings file (print choices, say):
// "$XDG_CONFIG_HOME/quorvane", or "$HOME/.config/quorvane" when XDG_CONFIG_HOME is unset, empty
// or relative; never beside the program. The empty text when neither variable is usable.
// Nothing is created.
std::string ResolveConfigFolder(const char* xdgConfigHome, const char* home);
// ResolveConfigFolder for the user's environment, created when missing.
std::string ProgramConfigFolder();

}  // namespace qv
