// Holders that give a GDI resource back at the end of the scope that took it, early returns and
// exceptions included. None can be copied. Holders are destroyed in the reverse order of their
// declarations, so a caller orders them as the releases must go: the selection before its
// context, the context before the window's.
#pragma once

#include <windows.h>

#include <utility>

// A window's device context from GetDC (the screen's for a null window), given back with
// ReleaseDC.
class ScopedGetDC {
  public:
    explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedGetDC() { ReleaseDC(window_, dc_); }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    operator HDC() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// The device context of a WM_PAINT, from BeginPaint to EndPaint.
class ScopedPaintDC {
  public:
    explicit ScopedPaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~ScopedPaintDC() { EndPaint(window_, &paint_); }
    ScopedPaintDC(const ScopedPaintDC&) = delete;
    ScopedPaintDC& operator=(const ScopedPaintDC&) = delete;
    operator HDC() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_; // filled by BeginPaint, which runs after it is constructed
    HDC dc_;
};

// An object selected into a device context; the object it replaced is selected back at the end.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    // False when the context refused the object (or there was no context).
    bool IsSelected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A GDI handle of our own: a device context (from CreateCompatibleDC, or the printer's that the
// print dialog hands over), deleted with DeleteDC, or a bitmap, pen or brush, deleted with
// DeleteObject. An object must not be selected into a context by then: declare its holder before
// the ScopedSelect that selects it. Movable, so that a holder declared early can take its handle
// later; a holder moved from holds nothing and deletes nothing.
template <class Handle> class ScopedGdiObject {
  public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(Handle object) : object_(object) {}
    ~ScopedGdiObject() { Release(); }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    ScopedGdiObject(ScopedGdiObject&& other) noexcept
        : object_(std::exchange(other.object_, nullptr)) {}
    // Deletes the handle held so far, then takes the other's.
    ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
        if (this != &other) {
            Release();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    operator Handle() const { return object_; }
    // Gives the handle to a new owner, which deletes it from then on.
    Handle Detach() { return std::exchange(object_, nullptr); }

  private:
    static void Delete(HDC dc) { DeleteDC(dc); }
    static void Delete(HGDIOBJ object) { DeleteObject(object); }
    void Release() {
        if (object_ != nullptr) {
            Delete(object_);
        }
    }

    Handle object_ = nullptr;
};

using ScopedCreateDC = ScopedGdiObject<HDC>;
