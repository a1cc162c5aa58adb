// The dialog window class ("#32770") and the simple system controls the layer's
// own dialogs are made of ("BUTTON" push buttons, "STATIC" text). Internal to
// src/platform.
#pragma once

#include "platform/win32.h"

namespace veltrix::platform::controls {

// Registers "#32770", "BUTTON" and "STATIC" once per process.
void registerDialogClasses();

// DefDlgProcW's own handling of a message its DLGPROC left alone.
LRESULT defaultDialogHandling(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog-unit base of a dialog (its template font's), else the system's.
SIZE dialogBaseUnits(HWND dialog);

enum class DialogAnswers { ByResponder, ByOwnCode };
// DialogBoxIndirectParamW; with ByOwnCode the headless dialog responder is
// not asked (the layer's own dialogs have responders of their own).
INT_PTR runModalDialog(const DLGTEMPLATE* dialogTemplate, HWND owner, DLGPROC proc, LPARAM param,
                       DialogAnswers answers);

LRESULT buttonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT staticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace veltrix::platform::controls
