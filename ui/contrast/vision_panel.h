#pragma once

#include <QWidget>

#include "colour/rgb.h"

class PairSample;
class QLabel;
class QSlider;

/// The pair as seen with each kind of colour vision deficiency (protan, deutan, tritan and
/// achromatopsia) at the severity the slider chooses, each with the contrast ratio of the two
/// colours as seen.
class VisionPanel : public QWidget
{
    Q_OBJECT
public:
    explicit VisionPanel(QWidget* parent);

    void SetPair(Rgb text, Rgb background);
    QSlider* Severity() const { return m_severity; }

private:
    void Update();

    Rgb m_text;
    Rgb m_background;
    QSlider* m_severity = nullptr;
    QLabel* m_severityText = nullptr;
    PairSample* m_samples[4] = {};
    QLabel* m_ratios[4] = {};
};
