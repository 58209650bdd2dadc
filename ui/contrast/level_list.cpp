#include "ui/contrast/level_list.h"

#include <QGridLayout>
#include <QLabel>

#include "colour/contrast.h"
#include "platform/codepage.h"
#include "ui/text.h"

namespace {

std::string LevelLine(ContrastLevel level)
{
    return ContrastLevelName(level) + Sjis(u8"（") + ThresholdText(ThresholdOf(level))
        + Sjis(u8"以上）");
}

} // namespace

LevelList::LevelList(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_ratio = new QLabel(this);
    QFont large = m_ratio->font();
    // The window's face may be sized in pixels or in points.
    if (large.pixelSize() > 0) {
        large.setPixelSize(large.pixelSize() * 8 / 5);
    } else {
        large.setPointSizeF(large.pointSizeF() * 1.6);
    }
    large.setBold(true);
    m_ratio->setFont(large);
    m_ratio->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_ratio, 0, 0, 1, 2);
    int row = 1;
    for (ContrastLevel level : AllContrastLevels) {
        layout->addWidget(new QLabel(ToQString(LevelLine(level)), this), row, 0);
        m_verdicts[row - 1] = new QLabel(this);
        layout->addWidget(m_verdicts[row - 1], row, 1);
        ++row;
    }
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(row, 1);
}

void LevelList::SetRatio(double ratio)
{
    const QString ratioText = ToQString(Sjis(u8"コントラスト比 ") + RatioText(ratio));
    m_ratio->setText(ratioText);
    m_ratio->setAccessibleName(ratioText);
    int index = 0;
    for (ContrastLevel level : AllContrastLevels) {
        const bool passes = Passes(ratio, level);
        QLabel* verdict = m_verdicts[index++];
        verdict->setText(
            ToQString(passes ? Sjis(u8"○ 満たしています") : Sjis(u8"× 満たしていません")));
        // One name that a screen reader reads whole, and that says which level it judges.
        verdict->setAccessibleName(ToQString(LevelLine(level) + Sjis(u8"：")
            + (passes ? Sjis(u8"満たしています") : Sjis(u8"満たしていません"))));
    }
}
