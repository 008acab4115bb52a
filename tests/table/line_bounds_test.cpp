// The bounds of a loaded file's lines: each line added is given back as it lies in the buffer,
// short or long, unless it does not follow the line before it or has no CR LF of its own.
#include "table/line_bounds.h"

#include <gtest/gtest.h>

#include <stdexcept>

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

// Lines added at once are the lines added one by one, on one thread or two: long lines whose
// groups keep full bounds on either side of the cut, empty ones, lone LFs. A CR without its LF
// among the lines, or too few lines, adds nothing.
TEST(LineBoundsTest, LinesAddedAtOnceAreThoseAddedOneByOne) {
    struct Case {
        const char* what;
        std::size_t lines;       // in the text
        std::size_t longEvery;   // every so many lines one of 70,000 bytes; 0: none
        std::size_t bareCrLine;  // the line ended by a CR alone; 0: none
        std::size_t asked;       // lines added at once
        bool accepted;
    };
    const Case cases[] = {
        {"short text", 200, 0, 0, 200, true},
        {"fewer lines than asked", 200, 0, 0, 201, false},
        {"a bare CR", 200, 0, 17, 200, false},
        {"a bare CR after the lines asked", 200, 0, 150, 100, true},
        {"two threads", 400'000, 0, 0, 400'000, true},
        {"two threads, long lines", 300'000, 25'000, 0, 300'000, true},
        {"two threads, fewer asked", 300'000, 25'000, 0, 299'990, true},
        {"two threads, too few", 300'000, 0, 0, 300'001, false},
        {"two threads, bare CR first", 300'000, 0, 1000, 300'000, false},
        {"two threads, bare CR last", 300'000, 0, 299'000, 300'000, false},
    };
    for (const Case& c : cases) {
        std::string bytes = "header\r\n";
        const std::size_t first = bytes.size();
        for (std::size_t k = 0; k < c.lines; ++k) {
            if (c.longEvery != 0 && k % c.longEvery == 7) {
                bytes.append(70'000, 'x');
            } else {
                bytes += std::to_string(k % 97 == 0 ? 0 : k * 7919) + (k % 5 == 0 ? "\n" : "");
            }
            bytes += k == c.bareCrLine && k != 0 ? "\r" : "\r\n";
        }
        auto buffer = std::make_shared<const std::string>(bytes);
        const std::string_view text(buffer->data() + first, buffer->size() - first);
        LineBounds atOnce(buffer);
        std::vector<std::size_t> told;
        const bool accepted =
            atOnce.AddLines(text, c.asked, [&](std::size_t done) { told.push_back(done); });
        EXPECT_EQ(accepted, c.accepted) << c.what;
        if (!accepted) {
            EXPECT_EQ(atOnce.Count(), 0u) << c.what;
            continue;
        }
        LineBounds oneByOne(buffer);
        for (std::size_t k = 0, place = first; k < c.asked; ++k) {
            const std::size_t end = bytes.find('\r', place);
            ASSERT_TRUE(oneByOne.Add(std::string_view(buffer->data() + place, end - place)));
            place = end + 2;
        }
        ASSERT_EQ(atOnce.Count(), c.asked) << c.what;
        for (uint64_t k = 0; k < c.asked; ++k) {
            ASSERT_EQ(atOnce.Line(k), oneByOne.Line(k)) << c.what << " line " << k;
            ASSERT_EQ(atOnce.Line(k).data(), oneByOne.Line(k).data()) << c.what << " line " << k;
        }
        EXPECT_TRUE(std::is_sorted(told.begin(), told.end())) << c.what;
        EXPECT_LE(told.empty() ? 0 : told.back(), text.size()) << c.what;
        EXPECT_EQ(told.empty(), text.size() < 500'000) << c.what;
    }
}

// What the progress function throws reaches the caller and leaves nothing added; more lines than
// the text can hold take no room.
TEST(LineBoundsTest, LinesAddedAtOnceCanBeStoppedAndAreCheckedFirst) {
    std::string bytes;
    for (int k = 0; k < 400'000; ++k) {
        bytes += std::to_string(k) + "\r\n";
    }
    auto buffer = std::make_shared<const std::string>(bytes);
    LineBounds bounds(buffer);
    EXPECT_THROW(
        bounds.AddLines(*buffer, 400'000, [](std::size_t) { throw std::runtime_error("stopped"); }),
        std::runtime_error);
    EXPECT_EQ(bounds.Count(), 0u);
    LineBounds claimed(buffer);
    EXPECT_FALSE(claimed.AddLines(*buffer, uint64_t{1} << 30));
    EXPECT_EQ(claimed.HeapBytes(), 0u);
    EXPECT_TRUE(bounds.Add(std::string_view(buffer->data(), 1)));
    EXPECT_EQ(bounds.Line(0), "0");
}

}  // namespace
}  // namespace qv
