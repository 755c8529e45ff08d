// Rectangle arithmetic of full screen: where the frame must go so that one
// of its child windows covers the whole screen.
#pragma once
#include <windows.h>

// frame and target are window rectangles in screen coordinates; either may
// be null (no window), which gives the screen (0, 0, W, H). Otherwise the
// frame rectangle that puts target exactly on (0, 0, W, H), when it is at
// least W wide and H high, else the screen.
RECT CalcFullScreenRect(const RECT* frame, const RECT* target, int screenWidth, int screenHeight);
