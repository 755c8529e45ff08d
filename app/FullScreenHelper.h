// Full screen: the frame is moved and enlarged so that one of its child
// windows (the article panes) covers the whole screen, and put back later.
#pragma once
#include <windows.h>

// The frame rectangle that puts target on the whole screen (see
// FullScreenCalc.h); the screen itself without both windows.
RECT CalcFullScreenRect(HWND frame, HWND target);
// Moves (and repaints) the frame to CalcFullScreenRect and returns its window
// rectangle from before the move; an empty rectangle without a frame.
RECT MoveFrameToFullScreen(HWND frame, HWND target);

class CFullScreenHelper {
public:
    CFullScreenHelper();

    void SetWindows(HWND frame, HWND target);
    // Remembers where the frame is and moves it to full screen; does nothing
    // while already in full screen.
    void EnterFullScreen();
    // Puts the frame back where it was; does nothing outside full screen.
    void Restore();

    // In full screen: the restore rectangle is not empty.
    bool IsFullScreen() const { return !IsRectEmpty(&m_rcRestore); }
    // The frame may be larger than the screen: in full screen and while
    // entering it (the frame's size limits are asked during the move).
    bool AllowsOversize() const { return m_bEntering || IsFullScreen(); }
    const RECT& GetFullRect() const { return m_rcFull; }
    const RECT& GetRestoreRect() const { return m_rcRestore; }

private:
    RECT m_rcRestore;
    RECT m_rcFull;
    HWND m_hFrame = nullptr;
    HWND m_hTarget = nullptr;
    bool m_bEntering = false;
};
