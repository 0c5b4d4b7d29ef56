#include "records/window_dpi.h"

#include "records/dpi_scale.h"
#include "records/scoped_gdi.h"

namespace {

template <typename Function> Function User32Entry(const char* name) noexcept {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

} // namespace

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
