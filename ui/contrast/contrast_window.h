#pragma once

#include <QWidget>

#include "colour/rgb.h"

class ColourField;
class LevelList;
class PairSample;
class QPushButton;
class SuggestionList;
class TForm1;
class VisionPanel;

/// The contrast window: a text colour and a background colour, the pair's WCAG 2 contrast ratio
/// and levels, a sample of text on the background, the nearest colours that pass the levels it
/// fails, and the pair as seen with colour vision deficiencies. Non-modal, beside the main
/// window, whose colour display it never changes.
class ContrastWindow : public QWidget
{
    Q_OBJECT
public:
    /// form gives the swatch colour the fields can take.
    ContrastWindow(TForm1& form, Rgb text, Rgb background);

    Rgb TextColour() const { return m_text; }
    Rgb BackgroundColour() const { return m_background; }
    void SetPair(Rgb text, Rgb background);

signals:
    void BackgroundChanged(Rgb background);

private:
    void Pick(bool forText);
    void SetOne(bool forText, Rgb colour);

    TForm1& m_form;
    Rgb m_text;
    Rgb m_background;
    ColourField* m_textField = nullptr;
    ColourField* m_backgroundField = nullptr;
    QPushButton* m_swap = nullptr;
    PairSample* m_sample = nullptr;
    LevelList* m_levels = nullptr;
    SuggestionList* m_suggestions = nullptr;
    VisionPanel* m_vision = nullptr;
    bool m_picking = false;
};
