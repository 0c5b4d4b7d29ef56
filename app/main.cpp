#include "app/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    StartApplication(instance);
    HWND window = CreateMainWindow();
    if (window == nullptr) {
        return 0;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    OpenCommandLineImage(commandLine);
    const int exitCode = RunMessageLoop();
    StopApplication();
    return exitCode;
}
