#pragma once

class QLabel;

/// A stand-in face may draw taller or wider than the window's own (Noto Sans CJK JP has a deep
/// line, VL PGothic a wide bold). A label whose text would be cut grows around its rectangle, to
/// the right and evenly up and down, so that every letter shows where it would have been; a label
/// whose text shows whole keeps its rectangle.
void FitLabelToText(QLabel* label);
