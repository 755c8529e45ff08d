// Every message box of the program goes through AfxMessageBox, so tests can
// answer for the user and record what was said.
#pragma once
#include <windows.h>

// Shows text with the given MB_* style, owned by the active window; returns the
// button id (IDOK, IDCANCEL, IDYES, ...).
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);
// Loads the string resource id and shows it.
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = (UINT)-1);

// A hook replaces the real box: it gets the text and style and returns the answer.
typedef int (*AfxMessageBoxHook)(const wchar_t* text, UINT type);
AfxMessageBoxHook AfxSetMessageBoxHook(AfxMessageBoxHook hook);

// True while a message box (real or hooked) is being shown on this thread.
bool AfxIsMessageBoxOpen();

// Caption of the real boxes (the application's name); the program file's name
// is used until it is set.
void AfxSetMessageBoxCaption(const wchar_t* caption);
