#include "app/search_history.h"

#include <algorithm>
#include <filesystem>

#include "platform/files.h"
#include "platform/program_paths.h"

namespace qv {

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

std::string Unescaped(std::string_view line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            out += line[++i] == 'n' ? '\n' : line[i];
        } else {
            out += line[i];
        }
    }
    return out;
}

// A history file is a few kilobytes; anything far larger is not one, and is not read.
constexpr std::uintmax_t kLargestHistoryFile = 1 << 20;

void AddRead(std::vector<std::string>& list, std::string text) {
    if (list.size() < kSearchHistoryLength && !text.empty() &&
        std::find(list.begin(), list.end(), text) == list.end()) {
        list.push_back(std::move(text));
    }
}

}  // namespace

bool RememberText(std::vector<std::string>& list, const std::string& text) {
    if (text.empty() || (!list.empty() && list.front() == text)) {
        return false;
    }
    std::erase(list, text);
    list.insert(list.begin(), text);
    if (list.size() > kSearchHistoryLength) {
        list.resize(kSearchHistoryLength);
    }
    return true;
}

std::string SearchHistoryPath() {
    const std::string folder = ProgramConfigFolder();
    return folder.empty() ? std::string() : folder + "/search_history.txt";
}

SearchHistory ReadSearchHistory(const std::string& path) {
    SearchHistory history;
    if (path.empty() || !IsExistingFile(path)) {
        return history;
    }
    std::string contents;
    try {
        std::error_code error;
        if (std::filesystem::file_size(path, error) > kLargestHistoryFile || error) {
            return history;
        }
        contents = ReadWholeFile(path);
    } catch (const std::exception&) {
        return history;  // what cannot be read is only not offered again
    }
    std::string_view rest = contents;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.starts_with("F ")) {
            AddRead(history.texts, Unescaped(line.substr(2)));
        } else if (line.starts_with("R ")) {
            AddRead(history.replacements, Unescaped(line.substr(2)));
        }
    }
    return history;
}

void WriteSearchHistory(const std::string& path, const SearchHistory& history) {
    if (path.empty()) {
        return;
    }
    std::string text;
    for (const std::string& entry : history.texts) {
        text += "F " + Escaped(entry) + "\n";
    }
    for (const std::string& entry : history.replacements) {
        text += "R " + Escaped(entry) + "\n";
    }
    ReplaceFileAtomically(path, text);
}

}  // namespace qv
