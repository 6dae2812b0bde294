// The program's own message boxes: title "Korvelin", Japanese button texts, Yes the default of
// a question.
#pragma once

#include <QString>

class QWidget;

namespace tnw::app {

void showInfo(QWidget* parent, const QString& text);
void showWarning(QWidget* parent, const QString& text);
// A failure (the stop icon).
void showError(QWidget* parent, const QString& text);
// True for Yes.
bool askYesNo(QWidget* parent, const QString& text);

}  // namespace tnw::app
