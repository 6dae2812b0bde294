// The host of the library's dialogs: a dialog export may be called from a program with its own
// QApplication (the parent is then one of its widgets) or from one without any. The host makes
// a QApplication for the call when none exists and a display can be used, and refuses (one line
// on standard error and the failure code) when no display exists, when the process has only a
// QCoreApplication, or when the call comes from a thread other than the application's.
#pragma once

#include "common/platform/ui.h"

#include <QString>

#include <functional>

class QWidget;

namespace tnw::sheet {

// What a dialog export answers when its dialog cannot be shown.
inline constexpr int kDialogNotShown = -1;

// Runs `body` with the parent widget (`parent` is an opaque QWidget* or null) once a usable
// QApplication exists; its result is returned. `what` names the export in the note on standard
// error. Returns kDialogNotShown when the dialog cannot be shown.
int hostDialog(const char* what, void* parent, const std::function<int(QWidget*)>& body);

// A message box of the dialogs through the platform's message seam. Texts are UTF-8 or Qt
// strings; a character with no code page 932 form is shown as '?'.
platform::MsgAnswer sheetMessage(const char* title, const QString& text,
                                 platform::MsgButtons buttons = platform::MsgButtons::Ok,
                                 platform::MsgIcon icon = platform::MsgIcon::None);

}  // namespace tnw::sheet
