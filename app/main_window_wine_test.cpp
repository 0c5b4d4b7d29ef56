// The real main window: its resources, creation order and command routing.
#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "canvas/canvas.h"
#include "pen/pen_state.h"
#include "records/document_state.h"
#include "res/resource.h"
#include "view/view_math.h"
#include "wine_app.h"

namespace {

std::wstring WindowText(HWND window) {
    wchar_t text[256];
    GetWindowTextW(window, text, 256);
    return text;
}

class MainWindowTest : public testing::Test {
  protected:
    void SetUp() override { StartTestWindow(); }
};

TEST_F(MainWindowTest, StartsUntitledWithWhiteLayersAfterTheMultiTouchNotice) {
    // Wine has no digitizer: the notice is shown while the window is created.
    static const std::vector<std::wstring> atStart = TakeMessageBoxTexts();
    ASSERT_EQ(atStart.size(), 1u);
    EXPECT_EQ(atStart[0], L"お使いのPCはマルチタッチに対応していません");
    EXPECT_EQ(WindowText(g_app.hwnd), L"無題 -Inkwisp");
    EXPECT_STREQ(g_app.caption, L"Inkwisp");
    EXPECT_STREQ(g_app.className, L"INKWISP");
    EXPECT_NE(g_canvas.ink, nullptr);
    EXPECT_NE(g_canvas.background, nullptr);
    EXPECT_EQ(g_canvas.composite, nullptr);
    EXPECT_TRUE(IsNoPoint(g_view.lastPoint));
}

TEST_F(MainWindowTest, MenuBarCarriesTheJapaneseCommands) {
    HMENU bar = GetMenu(g_app.hwnd);
    ASSERT_EQ(GetMenuItemCount(bar), 5);
    EXPECT_EQ(MenuText(bar, 0, MF_BYPOSITION), L"ファイル(&F)");
    EXPECT_EQ(MenuText(bar, 1, MF_BYPOSITION), L"ペン(&P)");
    EXPECT_EQ(MenuText(bar, 2, MF_BYPOSITION), L"消しゴム(&E)");
    EXPECT_EQ(MenuText(bar, 3, MF_BYPOSITION), L"設定(&S)");
    EXPECT_EQ(MenuText(bar, 4, MF_BYPOSITION), L"ヘルプ(&H)");
    EXPECT_EQ(GetMenuItemID(bar, 1), static_cast<UINT>(IDM_PEN));
    EXPECT_EQ(GetMenuItemID(bar, 2), static_cast<UINT>(IDM_ERASER));
    EXPECT_EQ(GetMenuItemID(bar, 3), static_cast<UINT>(IDM_SETTINGS));

    HMENU file = GetSubMenu(bar, 0);
    const UINT fileIds[] = {IDM_NEW, IDM_OPEN, IDM_SAVE, 0, IDM_PRINT, 0, IDM_EXIT};
    const wchar_t* fileTexts[] = {L"新規(&N)", L"開く(&O)", L"保存(&S)", L"",
                                  L"印刷(&P)", L"",         L"終了(&X)"};
    ASSERT_EQ(GetMenuItemCount(file), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(GetMenuItemID(file, i), fileIds[i]) << i;
        EXPECT_EQ(MenuText(file, i, MF_BYPOSITION), fileTexts[i]) << i;
    }
    EXPECT_TRUE(GetMenuState(file, 3, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(file, 5, MF_BYPOSITION) & MF_SEPARATOR);

    HMENU help = GetSubMenu(bar, 4);
    EXPECT_EQ(MenuText(help, IDM_MANUAL, MF_BYCOMMAND), L"説明書(&H)...");
    EXPECT_EQ(MenuText(help, IDM_ABOUT, MF_BYCOMMAND), L"バージョン(&A)");
}

TEST_F(MainWindowTest, WindowClassHasTheIconAndRedrawsOnResize) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    ASSERT_TRUE(GetClassInfoExW(g_app.hinstance, L"INKWISP", &windowClass));
    EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_NE(windowClass.hIcon, nullptr);
    EXPECT_NE(windowClass.hIconSm, nullptr);
    EXPECT_EQ(windowClass.lpfnWndProc, MainWndProc);
}

TEST_F(MainWindowTest, VersionBoxShowsTheVersion) {
    TakeMessageBoxTexts();
    SendToMainWindow(WM_COMMAND, IDM_ABOUT);
    const std::vector<std::wstring> texts = TakeMessageBoxTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(L"\n\nVer.2.01"), std::wstring::npos);
    EXPECT_NE(texts[0].find(L"Copyright"), std::wstring::npos);
}

TEST_F(MainWindowTest, EraserCommandSwitchesThePenAndTheMenuText) {
    g_pen.color = RGB(200, 0, 0);
    g_pen.width = 4;
    SendToMainWindow(WM_COMMAND, IDM_ERASER);
    EXPECT_EQ(g_pen.color, ERASER_COLOR);
    EXPECT_EQ(g_pen.width, 32);
    HMENU bar = GetMenu(g_app.hwnd);
    EXPECT_EQ(EraserMenuText(), L"元のペン(&E)");
    SendToMainWindow(WM_COMMAND, IDM_ERASER);
    EXPECT_EQ(g_pen.color, static_cast<PenColor>(RGB(200, 0, 0)));
    EXPECT_EQ(g_pen.width, 4);
    EXPECT_EQ(EraserMenuText(), L"消しゴム(&E)");
    EXPECT_EQ(GetMenuItemID(bar, 2), static_cast<UINT>(IDM_ERASER));
}

TEST_F(MainWindowTest, UnknownCommandsChangeNothing) {
    g_document.modified = 1;
    for (UINT id : {106u, 107u, 108u, 109u, 103u, 118u, 40000u}) {
        SendToMainWindow(WM_COMMAND, id);
    }
    EXPECT_TRUE(IsWindow(g_app.hwnd));
    EXPECT_EQ(g_document.modified, 1);
    EXPECT_EQ(WindowText(g_app.hwnd), L"無題 -Inkwisp");
    g_document.modified = 0;
}

} // namespace
