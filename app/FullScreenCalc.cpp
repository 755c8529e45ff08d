#include "app/FullScreenCalc.h"

RECT CalcFullScreenRect(const RECT* frame, const RECT* target, int screenWidth, int screenHeight)
{
    RECT screen = {0, 0, screenWidth, screenHeight};
    if (!frame || !target)
        return screen;
    RECT full = {frame->left - target->left, frame->top - target->top,
                 screenWidth + frame->right - target->right, screenHeight + frame->bottom - target->bottom};
    if (full.right - full.left >= screenWidth && full.bottom - full.top >= screenHeight)
        return full;
    return screen;
}
