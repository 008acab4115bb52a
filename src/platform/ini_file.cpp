#include "platform/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text.h"

namespace qv {

namespace {

// The longest value a read gives, as the settings functions of the system always did.
constexpr std::size_t kValueLimit = 1023;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

// One line of the file: [begin, contentEnd) is the text, [contentEnd, end) its line end.
struct Line {
    std::size_t begin;
    std::size_t contentEnd;
    std::size_t end;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t lf = text.find('\n', pos);
        std::size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
        std::size_t contentEnd = lf == std::string_view::npos ? text.size() : lf;
        if (contentEnd > pos && text[contentEnd - 1] == '\r') {
            --contentEnd;
        }
        lines.push_back({pos, contentEnd, end});
        pos = end;
    }
    return lines;
}

// A last line may end in nothing or in a lone CR; a key added after it needs a line end first.
bool EndsWithLineFeed(std::string_view text, const Line& line) {
    return line.end > line.begin && text[line.end - 1] == '\n';
}

// The section name of a "[Name]" line; nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(1, close - 1));
}

// Where a key sits in the file.
struct KeyPlace {
    bool sectionFound = false;
    std::size_t insertAt = 0;     // after the section's last non-blank line
    bool insertNeedsEnd = false;  // that line is the last of the file and has no line end
    bool keyFound = false;
    std::size_t valueBegin = 0;  // just after the "="
    std::size_t valueEnd = 0;    // before the line end
};

KeyPlace FindKey(std::string_view text, std::string_view section, std::string_view key) {
    KeyPlace place;
    bool inSection = false;
    for (const Line& line : SplitLines(text)) {
        std::string_view content = text.substr(line.begin, line.contentEnd - line.begin);
        if (auto name = SectionName(content)) {
            if (inSection) {
                break;
            }
            if (EqualsIgnoringCase(*name, section)) {
                inSection = true;
                place.sectionFound = true;
                place.insertAt = line.end;
                place.insertNeedsEnd = !EndsWithLineFeed(text, line);
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!Trim(content).empty()) {
            place.insertAt = line.end;
            place.insertNeedsEnd = !EndsWithLineFeed(text, line);
        }
        std::size_t equals = content.find('=');
        if (equals != std::string_view::npos &&
            EqualsIgnoringCase(Trim(content.substr(0, equals)), key)) {
            place.keyFound = true;
            place.valueBegin = line.begin + equals + 1;
            place.valueEnd = line.contentEnd;
            return place;
        }
    }
    return place;
}

std::string FullPath(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    std::string folder(256, '\0');
    while (getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) {
            return path;
        }
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder + path;
}

}  // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    std::string text;
    try {
        text = ReadWholeFile(path_);
    } catch (const Failure&) {
        return std::string(defaultValue.substr(0, kValueLimit));
    }
    KeyPlace place = FindKey(text, section, key);
    if (!place.keyFound) {
        return std::string(defaultValue.substr(0, kValueLimit));
    }
    std::string_view value =
        std::string_view(text).substr(place.valueBegin, place.valueEnd - place.valueBegin);
    return std::string(Trim(value).substr(0, kValueLimit));
}

int32_t SettingsFile::ReadSettingNumber(std::string_view section, std::string_view key,
                                        int32_t defaultValue) const {
    std::string value = ReadString(section, key, "");
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        value.replace(0, 2, "$");
    }
    return ParseInt(value).value_or(defaultValue);
}

void SettingsFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    value = value.substr(0, value.find_first_of("\r\n"));
    try {
        std::string text;
        struct stat info;
        if (stat(path_.c_str(), &info) == 0 || errno != ENOENT) {
            text = ReadWholeFile(path_);
        }
        KeyPlace place = FindKey(text, section, key);
        if (place.keyFound) {
            text.replace(place.valueBegin, place.valueEnd - place.valueBegin, value);
        } else {
            std::string keyLine;
            keyLine.append(key).append("=").append(value).append("\r\n");
            if (place.sectionFound) {
                if (place.insertNeedsEnd) {
                    keyLine.insert(0, "\r\n");
                }
                text.insert(place.insertAt, keyLine);
            } else {
                if (!text.empty() && text.back() != '\n') {
                    text += "\r\n";
                }
                text.append("[").append(section).append("]\r\n").append(keyLine);
            }
        }
        ReplaceFileAtomically(path_, text);
    } catch (const Failure&) {
        throw Failure(FullPath(path_) + " に書き込めません");
    }
}

void SettingsFile::WriteSettingNumber(std::string_view section, std::string_view key,
                                      int32_t value) {
    WriteString(section, key, IntToStr(value));
}

}  // namespace qv
