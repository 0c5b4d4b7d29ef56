#include "records/window_dpi.h"

#include "records/dpi_scale.h"
#include "records/scoped_gdi.h"
#include "records/user32_entry.h"

GetDpiForWindowFunction g_getDpiForWindow = User32Entry<GetDpiForWindowFunction>("GetDpiForWindow");

int SystemDpi() {
    ScopedGetDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    // A screen context that could not be had gives 0; its sizes are then taken as they are.
    return dpi > 0 ? dpi : UNIT_DPI;
}

int WindowDpi(HWND window) {
    // 0 for a window that is gone.
    const UINT dpi = g_getDpiForWindow != nullptr ? g_getDpiForWindow(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}
