#include "platform/decimal_separator.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <optional>
#include <string>

namespace qv {
namespace {

// Sets LC_ALL for one test and puts the old value back.
class ScopedLcAll {
  public:
    explicit ScopedLcAll(const char* value) {
        if (const char* old = getenv("LC_ALL")) {
            old_ = old;
        }
        setenv("LC_ALL", value, 1);
    }
    ~ScopedLcAll() {
        if (old_) {
            setenv("LC_ALL", old_->c_str(), 1);
        } else {
            unsetenv("LC_ALL");
        }
    }

  private:
    std::optional<std::string> old_;
};

bool LocaleInstalled(const char* name) {
    locale_t locale = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return false;
    }
    freelocale(locale);
    return true;
}

TEST(PlatformDecimalSeparator, FollowsTheUserLocale) {
    {
        ScopedLcAll c("C");
        EXPECT_EQ(LocaleDecimalSeparator(), ".");
    }
    {
        // A locale that is not installed falls back to the point.
        ScopedLcAll missing("xx_NOWHERE.UTF-8");
        EXPECT_EQ(LocaleDecimalSeparator(), ".");
    }
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
        if (LocaleInstalled(name)) {
            ScopedLcAll comma(name);
            EXPECT_EQ(LocaleDecimalSeparator(), ",") << name;
        }
    }
}

TEST(PlatformDecimalSeparator, ProgramSeparatorIsReadOnce) {
    const std::string& first = ProgramDecimalSeparator();
    EXPECT_FALSE(first.empty());
    ScopedLcAll c("xx_NOWHERE.UTF-8");
    EXPECT_EQ(&ProgramDecimalSeparator(), &first);
}

}  // namespace
}  // namespace qv
