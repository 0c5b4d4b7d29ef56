#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLinePath, DropsOneEnclosingPairOfQuotesAndNeverSplits) {
    const struct {
        const wchar_t* commandLine;
        const wchar_t* path;
    } cases[] = {
        {L"C:\\memos\\a.png", L"C:\\memos\\a.png"},
        {L"\"C:\\my memos\\a b.png\"", L"C:\\my memos\\a b.png"},
        {L"C:\\my memos\\a b.png", L"C:\\my memos\\a b.png"},
        {L"\"..\\up one\\.\\a.png\"", L"..\\up one\\.\\a.png"}, // resolved by the caller
        {L"\"\"a.png\"\"", L"\"a.png\""},
        {L"\"a.png", L"\"a.png"},
        {L"a.png\"", L"a.png\""},
        {L"\"\"", L""},
        {L"\"", L"\""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLinePath(c.commandLine), c.path) << testing::PrintToString(c.commandLine);
    }
}

} // namespace
