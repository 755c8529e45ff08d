// Points, sizes and rectangles that are also the Win32 POINT, SIZE and RECT,
// so they pass straight to the API.
#pragma once

#include <windows.h>

class CSize;
class CRect;

class CPoint : public POINT {
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    CPoint(POINT pt) { x = pt.x; y = pt.y; }
    CPoint(SIZE sz) { x = sz.cx; y = sz.cy; }
    // A packed LPARAM of a mouse message: signed 16-bit halves.
    explicit CPoint(LPARAM lParam)
    {
        x = (short)LOWORD((DWORD)lParam);
        y = (short)HIWORD((DWORD)lParam);
    }

    void Offset(int dx, int dy) { x += dx; y += dy; }
    void Offset(POINT pt) { x += pt.x; y += pt.y; }
    void Offset(SIZE sz) { x += sz.cx; y += sz.cy; }
    void SetPoint(int X, int Y) { x = X; y = Y; }

    bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const { return !(*this == pt); }
    void operator+=(SIZE sz) { x += sz.cx; y += sz.cy; }
    void operator-=(SIZE sz) { x -= sz.cx; y -= sz.cy; }
    void operator+=(POINT pt) { x += pt.x; y += pt.y; }
    void operator-=(POINT pt) { x -= pt.x; y -= pt.y; }

    CPoint operator+(SIZE sz) const { return CPoint(x + sz.cx, y + sz.cy); }
    CPoint operator-(SIZE sz) const { return CPoint(x - sz.cx, y - sz.cy); }
    CPoint operator-() const { return CPoint(-x, -y); }
    CPoint operator+(POINT pt) const { return CPoint(x + pt.x, y + pt.y); }
    inline CSize operator-(POINT pt) const;
    inline CRect operator+(const RECT* rc) const;
    inline CRect operator-(const RECT* rc) const;
};

class CSize : public SIZE {
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX; cy = initCY; }
    CSize(SIZE sz) { cx = sz.cx; cy = sz.cy; }
    CSize(POINT pt) { cx = pt.x; cy = pt.y; }
    explicit CSize(DWORD dw) { cx = (short)LOWORD(dw); cy = (short)HIWORD(dw); }

    void SetSize(int CX, int CY) { cx = CX; cy = CY; }

    bool operator==(SIZE sz) const { return cx == sz.cx && cy == sz.cy; }
    bool operator!=(SIZE sz) const { return !(*this == sz); }
    void operator+=(SIZE sz) { cx += sz.cx; cy += sz.cy; }
    void operator-=(SIZE sz) { cx -= sz.cx; cy -= sz.cy; }

    CSize operator+(SIZE sz) const { return CSize(cx + sz.cx, cy + sz.cy); }
    CSize operator-(SIZE sz) const { return CSize(cx - sz.cx, cy - sz.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
    CPoint operator+(POINT pt) const { return CPoint(cx + pt.x, cy + pt.y); }
    CPoint operator-(POINT pt) const { return CPoint(cx - pt.x, cy - pt.y); }
};

inline CSize CPoint::operator-(POINT pt) const { return CSize(x - pt.x, y - pt.y); }

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& rc) { CopyRect(rc); }
    CRect(const RECT* rc) { if (rc) CopyRect(*rc); else SetRectEmpty(); }
    CRect(POINT pt, SIZE sz) { left = pt.x; top = pt.y; right = pt.x + sz.cx; bottom = pt.y + sz.cy; }
    CRect(POINT topLeft, POINT bottomRight)
    {
        left = topLeft.x; top = topLeft.y; right = bottomRight.x; bottom = bottomRight.y;
    }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    // References into the rectangle itself, as the familiar interface gives them.
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    // Empty: no area (width or height not positive). Null: all four zero.
    bool IsRectEmpty() const { return left >= right || top >= bottom; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(POINT pt) const
    {
        return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom;
    }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRect(POINT topLeft, POINT bottomRight)
    {
        SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void CopyRect(const RECT& rc) { left = rc.left; top = rc.top; right = rc.right; bottom = rc.bottom; }
    bool EqualRect(const RECT& rc) const
    {
        return left == rc.left && top == rc.top && right == rc.right && bottom == rc.bottom;
    }

    void InflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
    void InflateRect(SIZE sz) { InflateRect(sz.cx, sz.cy); }
    void InflateRect(const RECT& rc) { left -= rc.left; top -= rc.top; right += rc.right; bottom += rc.bottom; }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(SIZE sz) { InflateRect(-sz.cx, -sz.cy); }
    void DeflateRect(const RECT& rc) { left += rc.left; top += rc.top; right -= rc.right; bottom -= rc.bottom; }
    void DeflateRect(int l, int t, int r, int b) { left += l; top += t; right -= r; bottom -= b; }

    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void OffsetRect(POINT pt) { OffsetRect(pt.x, pt.y); }
    void OffsetRect(SIZE sz) { OffsetRect(sz.cx, sz.cy); }
    void MoveToX(int x) { right = x + Width(); left = x; }
    void MoveToY(int y) { bottom = y + Height(); top = y; }
    void MoveToXY(int x, int y) { MoveToX(x); MoveToY(y); }
    void MoveToXY(POINT pt) { MoveToXY(pt.x, pt.y); }

    void NormalizeRect()
    {
        if (left > right) { LONG t = left; left = right; right = t; }
        if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
    }

    // Both return false (and leave this empty) when the result has no area.
    bool IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b) != FALSE; }
    bool UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b) != FALSE; }
    bool SubtractRect(const RECT* a, const RECT* b) { return ::SubtractRect(this, a, b) != FALSE; }

    CRect& operator=(const RECT& rc) { CopyRect(rc); return *this; }
    bool operator==(const RECT& rc) const { return EqualRect(rc); }
    bool operator!=(const RECT& rc) const { return !EqualRect(rc); }
    void operator+=(POINT pt) { OffsetRect(pt.x, pt.y); }
    void operator+=(SIZE sz) { OffsetRect(sz.cx, sz.cy); }
    void operator+=(const RECT* rc) { InflateRect(*rc); }
    void operator-=(POINT pt) { OffsetRect(-pt.x, -pt.y); }
    void operator-=(SIZE sz) { OffsetRect(-sz.cx, -sz.cy); }
    void operator-=(const RECT* rc) { DeflateRect(*rc); }
    void operator&=(const RECT& rc) { RECT a = *this; ::IntersectRect(this, &a, &rc); }
    void operator|=(const RECT& rc) { RECT a = *this; ::UnionRect(this, &a, &rc); }

    CRect operator+(POINT pt) const { CRect r(*this); r.OffsetRect(pt.x, pt.y); return r; }
    CRect operator-(POINT pt) const { CRect r(*this); r.OffsetRect(-pt.x, -pt.y); return r; }
    CRect operator+(SIZE sz) const { CRect r(*this); r.OffsetRect(sz.cx, sz.cy); return r; }
    CRect operator-(SIZE sz) const { CRect r(*this); r.OffsetRect(-sz.cx, -sz.cy); return r; }
    CRect operator+(const RECT* rc) const { CRect r(*this); r.InflateRect(*rc); return r; }
    CRect operator-(const RECT* rc) const { CRect r(*this); r.DeflateRect(*rc); return r; }
    CRect operator&(const RECT& rc) const { CRect r; ::IntersectRect(&r, this, &rc); return r; }
    CRect operator|(const RECT& rc) const { CRect r; ::UnionRect(&r, this, &rc); return r; }
};

inline CRect CPoint::operator+(const RECT* rc) const { CRect r(rc); r.OffsetRect(x, y); return r; }
inline CRect CPoint::operator-(const RECT* rc) const { CRect r(rc); r.OffsetRect(-x, -y); return r; }
