#include "app/FullScreenHelper.h"
#include "app/FullScreenCalc.h"

namespace {

RECT ScreenRect()
{
    RECT rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return rc;
}

} // namespace

RECT CalcFullScreenRect(HWND frame, HWND target)
{
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    if (!frame || !target || !IsWindow(frame) || !IsWindow(target))
        return CalcFullScreenRect(nullptr, nullptr, w, h);
    RECT rcFrame, rcTarget;
    GetWindowRect(frame, &rcFrame);
    GetWindowRect(target, &rcTarget);
    return CalcFullScreenRect(&rcFrame, &rcTarget, w, h);
}

RECT MoveFrameToFullScreen(HWND frame, HWND target)
{
    RECT before = {0, 0, 0, 0};
    if (!frame || !IsWindow(frame))
        return before;
    GetWindowRect(frame, &before);
    const RECT full = CalcFullScreenRect(frame, target);
    MoveWindow(frame, full.left, full.top, full.right - full.left, full.bottom - full.top, TRUE);
    return before;
}

CFullScreenHelper::CFullScreenHelper()
{
    SetRectEmpty(&m_rcRestore);
    m_rcFull = ScreenRect();
}

void CFullScreenHelper::SetWindows(HWND frame, HWND target)
{
    m_hFrame = frame;
    m_hTarget = target;
}

void CFullScreenHelper::EnterFullScreen()
{
    if (IsFullScreen())
        return;
    m_rcFull = CalcFullScreenRect(m_hFrame, m_hTarget);
    m_bEntering = true;
    RECT before = MoveFrameToFullScreen(m_hFrame, m_hTarget);
    m_bEntering = false;
    m_rcRestore = before;
    if (!IsFullScreen())
        m_rcFull = ScreenRect();
}

void CFullScreenHelper::Restore()
{
    if (!IsFullScreen())
        return;
    const RECT rc = m_rcRestore;
    SetRectEmpty(&m_rcRestore);
    m_rcFull = ScreenRect();
    if (m_hFrame && IsWindow(m_hFrame))
        MoveWindow(m_hFrame, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}
