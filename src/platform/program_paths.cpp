#include "platform/program_paths.h"

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace qv {

std::string ProgramPath() {
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

namespace {

constexpr const char* kHistoryFileName = "Quorvane.hst";

// Folders where package managers put programs; a program there is never written beside.
constexpr std::string_view kSystemPrefixes[] = {"/usr",   "/bin",   "/sbin",   "/lib",
                                                "/lib32", "/lib64", "/libx32", "/opt",
                                                "/snap",  "/nix",   "/app"};

bool IsUnderSystemPrefix(std::string_view folder) {
    for (std::string_view prefix : kSystemPrefixes) {
        if (folder.starts_with(prefix) &&
            (folder.size() == prefix.size() || folder[prefix.size()] == '/')) {
            return true;
        }
    }
    return false;
}

std::string JoinPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

std::string WithIniExtension(std::string_view fileName) {
    std::string_view::size_type dot = fileName.find_last_of('.');
    std::string name(fileName.substr(0, dot));
    return name + ".ini";
}

// mkdir -p; failures are left for the later writes to report.
void MakeFolders(const std::string& folder) {
    for (std::string::size_type slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            return;
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}

}  // namespace

StoreLocations ResolveStoreLocations(const std::string& programPath, const char* xdgConfigHome,
                                     const char* home) {
    std::string::size_type slash = programPath.find_last_of('/');
    std::string folder;
    std::string fileName;
    if (slash == std::string::npos) {
        folder = ".";
        fileName = programPath;
    } else {
        folder = slash == 0 ? "/" : programPath.substr(0, slash);
        fileName = programPath.substr(slash + 1);
    }
    bool portable =
        !programPath.empty() && !IsUnderSystemPrefix(folder) && access(folder.c_str(), W_OK) == 0;
    if (fileName.empty()) {
        fileName = "Quorvane";
    }
    std::string settingsName = WithIniExtension(fileName);

    if (!portable) {
        std::string configHome;
        if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
            configHome = xdgConfigHome;
        } else if (home != nullptr && home[0] != '\0') {
            configHome = JoinPath(home, ".config");
        }
        if (!configHome.empty()) {
            folder = JoinPath(configHome, "quorvane");
            MakeFolders(folder);
        }
    }
    return {JoinPath(folder, settingsName), JoinPath(folder, kHistoryFileName)};
}

StoreLocations ProgramStoreLocations() {
    return ResolveStoreLocations(ProgramPath(), std::getenv("XDG_CONFIG_HOME"),
                                 std::getenv("HOME"));
}

std::string ResolveStateFolder(const char* xdgStateHome, const char* home) {
    if (xdgStateHome != nullptr && xdgStateHome[0] == '/') {
        return JoinPath(xdgStateHome, "quorvane");
    }
    if (home != nullptr && home[0] != '\0') {
        return JoinPath(JoinPath(home, ".local/state"), "quorvane");
    }
    return {};
}

std::string ProgramStateFolder() {
    return ResolveStateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
}

std::string ResolveConfigFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return JoinPath(xdgConfigHome, "quorvane");
    }
    if (home != nullptr && home[0] != '\0') {
        return JoinPath(JoinPath(home, ".config"), "quorvane");
    }
    return {};
}

std::string ProgramConfigFolder() {
    std::string folder = ResolveConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (!folder.empty()) {
        MakeFolders(folder);
    }
    return folder;
}

}  // namespace qv
