#pragma once
// Notifications that the platform sends to a control's parent (WM_NOTIFY,
// WM_COMMAND) are handed back to the control itself, so that a control class
// handles its own clicks, deletions and sorting. Every window of the program
// reflects what it does not handle itself (ReflectNotification below); a
// control wrapper subclasses its window and answers CN_NOTIFY / CN_COMMAND.
#include <windows.h>

inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// Sends a parent's WM_NOTIFY or WM_COMMAND from a child control back to that
// control as CN_NOTIFY / CN_COMMAND; true (with the control's answer) when the
// message came from a child control.
inline bool ReflectNotification(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND control = nullptr;
    if (msg == WM_NOTIFY && lParam)
        control = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    else if (msg == WM_COMMAND && lParam)
        control = reinterpret_cast<HWND>(lParam);
    if (!control || !IsWindow(control))
        return false;
    result = SendMessageA(control, CN_BASE + msg, wParam, lParam);
    return true;
}
