#pragma once

class TForm1;

/// What the window offers beside its controls' own commands: the context menus of the HEX box,
/// the copy button, the swatch and the user colour list, the shortcuts Ctrl+Shift+V, Ctrl+P and
/// Ctrl+Shift+C (the contrast window), and the swatch's hint. Menus and the contrast window are
/// built when they are opened, so nothing of them loads before it is used.
void InstallWindowExtras(TForm1& form);
