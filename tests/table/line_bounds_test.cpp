// The bounds of a loaded file's lines: each line added is given back as it lies in the buffer,
// short or long, unless it does not follow the line before it or has no CR LF of its own.
#include "table/line_bounds.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(LineBoundsTest, GivesBackEveryLineThatContinuesTheRun) {
    // 70 long lines put their group's bounds beyond 16-bit offsets; then a line ended by CR
    // alone, the line after it, one that starts a byte after the line before ends, and short
    // ones again.
    std::string bytes;
    std::vector<std::pair<std::size_t, std::size_t>> lines;  // where each text lies
    std::vector<bool> accepted;
    const auto add = [&](const std::string& text, const char* end, bool expected,
                         std::size_t skip = 0) {
        bytes.append(skip, '-');
        lines.emplace_back(bytes.size(), text.size());
        accepted.push_back(expected);
        bytes += text + end;
    };
    for (int i = 0; i < 70; ++i) {
        add(std::string(static_cast<std::size_t>(1500 + i), static_cast<char>('a' + i % 26)),
            "\r\n", true);
    }
    add("bare", "\r", false);
    add("after", "\r\n", true);
    add("skips", "\r\n", false, 1);
    for (const char* text : {"", "b", "\x82\xA0"}) {
        add(text, "\r\n", true);
    }
    bytes += '\0';
    auto buffer = std::make_shared<const std::string>(bytes);
    LineBounds bounds(buffer);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const std::string_view text(buffer->data() + lines[k].first, lines[k].second);
        EXPECT_EQ(bounds.Add(text), accepted[k]) << k;
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (accepted[k]) {
            EXPECT_EQ(bounds.Line(k),
                      std::string_view(buffer->data() + lines[k].first, lines[k].second))
                << k;
        }
    }
}

}  // namespace
}  // namespace qv
