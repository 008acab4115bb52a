#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// The settings file: "[Section]" lines, each followed by "Key=Value" lines, in CP932 with CR LF
// or LF line ends. Section and key names are matched ignoring ASCII case, and blanks around
// names and values are ignored; the first matching section and the first matching key in it
// count. Each call reads the file afresh, so one object may serve a whole pass of reads and
// writes while other code writes the same file.
class SettingsFile {
public:
    explicit SettingsFile(std::string path);

    const std::string& Path() const { return path_; }

    // The key's value, cut to its first 1023 bytes. A missing or unreadable file, section or
    // key gives defaultValue (cut the same way).
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // The key's value as an integer: decimal, "$" and hexadecimal digits, or "0x" and
    // hexadecimal digits (as ParseInt reads them). Any other text, and a missing key, gives
    // defaultValue.
    int32_t ReadSettingNumber(std::string_view section, std::string_view key,
                              int32_t defaultValue) const;

    // Sets the key's value: an existing key line keeps everything up to its "=" and gets the
    // new value, a new key goes after the last line of its section, a new section goes at the
    // end of the file, and a missing file is created. Every other byte of the file stays as
    // it was; new lines end in CR LF. A value is written up to its first CR or LF. The file is
    // replaced atomically; any failure raises Failure "<full path> に書き込めません" and leaves
    // the file as it was.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // WriteString with the value in plain decimal.
    void WriteSettingNumber(std::string_view section, std::string_view key, int32_t value);

private:
    std::string path_;
};

}  // namespace qv
