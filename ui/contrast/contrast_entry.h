#pragma once

#include <QKeySequence>

class QMenu;
class TForm1;

/// The contrast window's shortcut, Ctrl+Shift+C: no edit box of the window uses it.
QKeySequence ContrastWindowKeys();

/// Opens the contrast window beside form, its text colour the swatch's colour and its background
/// the last one used in this run (white the first time); when it is open already, brings it to
/// the front as it is. The window is built only here, so nothing of it exists before it opens.
void OpenContrastWindow(TForm1& form);

/// Adds the entry "コントラストの確認…" to menu, which opens the contrast window beside form.
void AddContrastEntry(QMenu& menu, TForm1& form);
