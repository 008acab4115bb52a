#include "table/size_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace qv {
namespace {

// Random sets, moves and resizes against a plain vector, through the sparse form and, once most
// items differ, the two-byte form, with sizes that do not fit two bytes among them.
TEST(SizeList, FollowsAPlainListOfSizes) {
    constexpr int32_t kDefault = 64;
    const int32_t sizes[] = {kDefault, 0, 120, -5, 32767, 40000, -32768, 1 << 30};
    std::mt19937 random(7);
    SizeList list(kDefault, 300);
    std::vector<int32_t> plain(300, kDefault);
    const auto pick = [&](int32_t n) { return static_cast<int32_t>(random() % n); };
    for (int step = 0; step < 20000; ++step) {
        const auto count = static_cast<int32_t>(plain.size());
        const int32_t what = pick(20);
        if (what < 15) {
            const int32_t i = pick(count);
            list.Set(i, plain[i] = sizes[pick(std::size(sizes))]);
        } else if (what < 19) {
            const int32_t from = pick(count), to = pick(count);
            list.Move(from, to);
            const int32_t moved = plain[from];
            plain.erase(plain.begin() + from);
            plain.insert(plain.begin() + to, moved);
        } else {
            const int32_t n = 1 + pick(400);
            list.Resize(n);
            if (n > count) {
                plain.back() = kDefault;
            }
            plain.resize(n, kDefault);
        }
        ASSERT_EQ(list.Count(), static_cast<int32_t>(plain.size()));
        for (int32_t i = -1; i <= list.Count(); ++i) {
            const int32_t expected = i >= 0 && i < list.Count() ? plain[i] : kDefault;
            ASSERT_EQ(list.Get(i), expected) << "step " << step << " item " << i;
        }
    }
}

}  // namespace
}  // namespace qv
