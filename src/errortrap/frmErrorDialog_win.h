#pragma once
// frmErrorDialog, the error window: a Win32 window whose procedure turns
// messages into calls on ErrorDialog and carries out its requests on the
// controls (ErrorView).

#include "errortrap/ErrorControls.h"

namespace qm {

// Shows frmErrorDialog modally, centred on the screen, while every other
// window of the thread is disabled. Its end button ends the process; the
// call returns only if the window is closed some other way (Alt+F4).
// Install it with SetErrorTrapHook(&ShowErrorDialogModal).
void ShowErrorDialogModal();

}  // namespace qm
