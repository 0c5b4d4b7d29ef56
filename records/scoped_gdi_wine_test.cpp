// The scoped GDI holders give back what they hold at the end of the scope, on an early return too,
// and a holder moved from gives back nothing.
#include "records/scoped_gdi.h"

#include <gtest/gtest.h>

#include "wine_app.h"

namespace {

// Takes a pen into the context, then returns early, as a function whose next step fails does.
HPEN SelectPenAndFail(HDC dc) {
    ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 3, RED));
    ScopedSelect selected(dc, pen);
    if (LineTo(nullptr, 5, 5) == FALSE) {
        return pen;
    }
    return nullptr;
}

// A window's context given back is the one handed out next for that window; one still held is not.
template <class Holder> HDC HeldDC(HWND window) {
    Holder held(window);
    return held;
}

// `kept` moves through two holders into one that held `replaced`: each goes once, when its last
// holder lets go of it.
template <class Holder, class Handle> void ExpectEachReleasedOnce(Handle kept, Handle replaced) {
    {
        Holder last(replaced);
        {
            Holder first(kept);
            Holder second(std::move(first));
            last = std::move(second);
            EXPECT_EQ(GetObjectType(replaced), 0u);
        }
        EXPECT_NE(GetObjectType(kept), 0u);
    }
    EXPECT_EQ(GetObjectType(kept), 0u);
}

} // namespace

TEST(ScopedGdiTest, HoldersReleaseAtScopeEndAndOnAnEarlyReturn) {
    ScopedCreateDC memory(CreateCompatibleDC(nullptr));
    HGDIOBJ own = GetCurrentObject(memory, OBJ_PEN);
    HPEN pen = SelectPenAndFail(memory);
    EXPECT_EQ(GetCurrentObject(memory, OBJ_PEN), own);
    EXPECT_EQ(GetObjectType(pen), 0u);
    HWND window = StartTestWindow();
    EXPECT_EQ(HeldDC<ScopedGetDC>(window), HeldDC<ScopedGetDC>(window));
    EXPECT_EQ(HeldDC<ScopedPaintDC>(window), HeldDC<ScopedPaintDC>(window));
}

TEST(ScopedGdiTest, AMovedHolderIsReleasedOnce) {
    ExpectEachReleasedOnce<ScopedGdiObject<HPEN>>(CreatePen(PS_SOLID, 1, RED),
                                                  CreatePen(PS_SOLID, 2, RED));
    ExpectEachReleasedOnce<ScopedCreateDC>(CreateCompatibleDC(nullptr),
                                           CreateCompatibleDC(nullptr));
}
