// The DPI look-up in the 192-DPI prefix, with Windows 10's call and without it (Windows 7).
#include <gtest/gtest.h>

#include "records/window_dpi.h"

namespace {

TEST(WindowDpi, IsTheWindowsOwnOrWithoutWindows10sCallTheSystems) {
    // Wine has the call: a misspelt name would leave every Windows without it.
    ASSERT_NE(g_getDpiForWindow, nullptr);
    ASSERT_EQ(SystemDpi(), 192) << "not run in the 192-DPI prefix";
    EXPECT_EQ(WindowDpi(GetDesktopWindow()), 192);
    const GetDpiForWindowFunction dpiForWindow = g_getDpiForWindow;
    g_getDpiForWindow = nullptr;
    EXPECT_EQ(WindowDpi(GetDesktopWindow()), 192);
    g_getDpiForWindow = dpiForWindow;
}

} // namespace
