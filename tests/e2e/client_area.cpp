// Prints where the main window's client area lies on the screen: "x y width height". Wine's
// screen coordinates are the X display's, so e2e tests can aim real pointer input at it.
#include <windows.h>

#include <cstdio>

int main() {
    HWND window = FindWindowW(L"INKWISP", nullptr);
    if (window == nullptr) {
        std::printf("none\n");
        return 1;
    }
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    return 0;
}
