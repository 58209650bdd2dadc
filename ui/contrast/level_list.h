#pragma once

#include <array>

#include <QWidget>

#include "colour/contrast.h"

class QLabel;

/// The contrast ratio of the pair and, for each of the five WCAG 2 levels, whether it passes.
/// The ratio is shown cut to two decimals; each level is judged on the exact ratio.
class LevelList : public QWidget
{
    Q_OBJECT
public:
    explicit LevelList(QWidget* parent);

    void SetRatio(double ratio);

private:
    QLabel* m_ratio = nullptr;
    std::array<QLabel*, AllContrastLevels.size()> m_verdicts {};
};
