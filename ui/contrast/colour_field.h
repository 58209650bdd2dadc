#pragma once

#include <QWidget>

#include "colour/rgb.h"

class QLabel;
class QLineEdit;
class QPushButton;

/// One colour of the pair: its caption, a swatch, a box that takes any colour text (typed or
/// pasted, read as a paste is), and buttons to pick it from the screen or take the main window's
/// swatch colour. The field only reports what the user asks for; the window decides the colour.
class ColourField : public QWidget
{
    Q_OBJECT
public:
    /// caption: the colour's name in CP932 ("文字色").
    ColourField(const std::string& caption, QWidget* parent);

    /// Shows colour in the swatch and, unless the box holds text that already names it (as the
    /// user typed it), as "#RRGGBB" in the box.
    void Show(Rgb colour);
    QLineEdit* Box() const { return m_box; }
    QPushButton* PickButton() const { return m_pick; }
    QPushButton* SwatchButton() const { return m_fromSwatch; }

signals:
    /// The box's text, as the user edited it, names colour.
    void Entered(Rgb colour);
    void PickRequested();
    void SwatchColourRequested();

private:
    void BoxEdited(const QString& text);

    QWidget* m_swatch = nullptr;
    QLineEdit* m_box = nullptr;
    QLabel* m_problem = nullptr;
    QPushButton* m_pick = nullptr;
    QPushButton* m_fromSwatch = nullptr;
};
