#include "memo/memo_naming.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::wstring ClockName(const ClockTime& time) {
    wchar_t text[CLOCK_NAME_CAPACITY];
    FormatClockName(time, text, CLOCK_NAME_CAPACITY);
    return text;
}

TEST(ClockName, ReadsMonthDayHourMinuteSecondWithTwoDigitsEach) {
    EXPECT_EQ(ClockName({3, 3, 7, 5, 9}), L"03月03日07時05分09");
    EXPECT_EQ(ClockName({12, 31, 23, 59, 59}), L"12月31日23時59分59");
    EXPECT_EQ(ClockName({1, 1, 0, 0, 0}), L"01月01日00時00分00");
}

// A folder that holds the given names.
struct Folder {
    std::set<std::wstring> names;
    bool operator()(const wchar_t* name) const { return names.count(name) != 0; }
};

std::wstring FreeName(const Folder& folder, const wchar_t* base = L"03月03日07時05分09") {
    wchar_t name[CLOCK_NAME_CAPACITY];
    EXPECT_TRUE(ChooseFreeName(base, folder, name, CLOCK_NAME_CAPACITY));
    return name;
}

TEST(ChooseFreeName, TakesTheClockNameWhileItIsFreeAndNumbersItOtherwise) {
    EXPECT_EQ(FreeName({}), L"03月03日07時05分09.png");
    EXPECT_EQ(FreeName({{L"03月03日07時05分10.png", L"other.png"}}), L"03月03日07時05分09.png");
    EXPECT_EQ(FreeName({{L"03月03日07時05分09.png"}}), L"03月03日07時05分09_2.png");
    EXPECT_EQ(FreeName({{L"03月03日07時05分09.png", L"03月03日07時05分09_2.png"}}),
              L"03月03日07時05分09_3.png");
    // The first gap counts.
    EXPECT_EQ(FreeName({{L"03月03日07時05分09.png", L"03月03日07時05分09_3.png"}}),
              L"03月03日07時05分09_2.png");
}

TEST(ChooseFreeName, GivesUpWhenEveryNumberIsTaken) {
    wchar_t name[CLOCK_NAME_CAPACITY] = L"x";
    int asked = 0;
    auto everythingExists = [&asked](const wchar_t*) {
        ++asked;
        return true;
    };
    EXPECT_FALSE(
        ChooseFreeName(L"12月31日23時59分59", everythingExists, name, CLOCK_NAME_CAPACITY));
    EXPECT_EQ(asked, LAST_NAME_NUMBER);
    EXPECT_EQ(name[0], L'\0');
}

TEST(ChooseFreeName, TheLongestNumberedNameFitsItsBuffer) {
    wchar_t name[CLOCK_NAME_CAPACITY];
    auto allButTheLast = [](const wchar_t* candidate) {
        return std::wstring(candidate) != L"12月31日23時59分59_9999.png";
    };
    ASSERT_TRUE(ChooseFreeName(L"12月31日23時59分59", allButTheLast, name, CLOCK_NAME_CAPACITY));
    EXPECT_EQ(std::wstring(name), L"12月31日23時59分59_9999.png");
    // A buffer too small fails without overrunning it.
    wchar_t small[8];
    EXPECT_FALSE(ChooseFreeName(L"12月31日23時59分59", Folder{}, small, 8));
}

} // namespace
