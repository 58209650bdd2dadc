#pragma once

#include <QWidget>

#include "colour/rgb.h"

class QGridLayout;

/// For each threshold the pair falls short of (3:1, 4.5:1, 7:1, with the levels that use it),
/// the nearest text colours and background colours that reach it, darker and lighter where both
/// exist, each with its contrast ratio and its CIEDE2000 distance from the colour it replaces:
/// text colours in the left column, backgrounds in the right. A click on one takes it.
class SuggestionList : public QWidget
{
    Q_OBJECT
public:
    explicit SuggestionList(QWidget* parent);

    void SetPair(Rgb text, Rgb background);

signals:
    /// The user took a suggestion: forText says which colour of the pair it replaces.
    void Taken(bool forText, Rgb colour);

private:
    /// Adds the suggestions for one colour of the pair from row down, in the text colour's column
    /// or the background's; returns the rows it took.
    int AddSuggestions(bool forText, Rgb change, Rgb keep, double threshold, int row);

    QGridLayout* m_layout = nullptr;
};
