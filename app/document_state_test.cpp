#include "app/document_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Title(const wchar_t* name, const wchar_t* caption) {
    wchar_t title[TITLE_CAPACITY];
    FormatWindowTitle(name, caption, title, TITLE_CAPACITY);
    return title;
}

TEST(WindowTitle, HasAnUntitledAndANamedForm) {
    EXPECT_EQ(Title(L"", L"Inkwisp"), L"無題 -Inkwisp");
    EXPECT_EQ(Title(L"03月03日07時05分09.png", L"Inkwisp"), L"03月03日07時05分09.png -Inkwisp");
    // Percent signs in a name are text, not formats.
    EXPECT_EQ(Title(L"100%s.png", L"Inkwisp"), L"100%s.png -Inkwisp");
}

TEST(WindowTitle, IsCutToItsBufferAndAlwaysTerminated) {
    wchar_t title[8];
    FormatWindowTitle(L"a-long-name.png", L"Inkwisp", title, 8);
    EXPECT_LT(std::wstring(title).size(), 8u);
}

TEST(CopyText, CutsWhatDoesNotFit) {
    wchar_t target[4];
    CopyText(target, 4, L"abcdef");
    EXPECT_EQ(std::wstring(target), L"abc");
    CopyText(target, 4, L"ab");
    EXPECT_EQ(std::wstring(target), L"ab");
}

} // namespace
