// The DPI look-ups in the 192-DPI prefix, with Windows 10's calls and without them (Windows 7).
#include <gtest/gtest.h>

#include "records/window_dpi.h"

namespace {

TEST(WindowDpi, WithoutTheCallsOfWindows10TheSystemDpiGivesTheSameSizes) {
    // Wine has them: a misspelt name would leave every Windows without them.
    ASSERT_NE(g_getDpiForWindow, nullptr);
    ASSERT_NE(g_getSystemMetricsForDpi, nullptr);
    ASSERT_NE(g_adjustWindowRectExForDpi, nullptr);
    ASSERT_EQ(SystemDpi(), 192) << "not run in the 192-DPI prefix";
    const int bars[] = {SystemMetricAtDpi(SM_CXVSCROLL, 96), SystemMetricAtDpi(SM_CXVSCROLL, 144)};
    RECT framed = {0, 0, 400, 300};
    AdjustWindowRectAtDpi(&framed, WS_OVERLAPPEDWINDOW, TRUE, 0, 192);

    const GetDpiForWindowFunction dpiForWindow = g_getDpiForWindow;
    const GetSystemMetricsForDpiFunction metrics = g_getSystemMetricsForDpi;
    const AdjustWindowRectExForDpiFunction adjust = g_adjustWindowRectExForDpi;
    g_getDpiForWindow = nullptr;
    g_getSystemMetricsForDpi = nullptr;
    g_adjustWindowRectExForDpi = nullptr;
    EXPECT_EQ(WindowDpi(GetDesktopWindow()), 192);
    EXPECT_EQ(SystemMetricAtDpi(SM_CXVSCROLL, 96), bars[0]);
    EXPECT_EQ(SystemMetricAtDpi(SM_CXVSCROLL, 144), bars[1]);
    RECT fallback = {0, 0, 400, 300};
    AdjustWindowRectAtDpi(&fallback, WS_OVERLAPPEDWINDOW, TRUE, 0, 192);
    EXPECT_TRUE(EqualRect(&fallback, &framed));
    g_getDpiForWindow = dpiForWindow;
    g_getSystemMetricsForDpi = metrics;
    g_adjustWindowRectExForDpi = adjust;
}

} // namespace
