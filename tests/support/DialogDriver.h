// Drives dialogs that a command opens modally: the action runs once, from
// inside the dialog's own message loop, as soon as a dialog window of this
// thread that was not there before is shown. The action then acts as the
// user would, for example by posting keys to GetFocus().
#pragma once

#include <windows.h>
#include <functional>

void OnNextDialog(std::function<void(HWND dlg)> action, int timeoutMs = 5000);
// True while an action is still waiting for its dialog.
bool IsDialogActionPending();
// Posts a key press (down and up) to the window with the keyboard focus.
void PostKeyToFocus(UINT vk);
