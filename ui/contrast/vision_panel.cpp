#include "ui/contrast/vision_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>

#include "colour/colour_vision.h"
#include "colour/contrast.h"
#include "platform/codepage.h"
#include "ui/contrast/pair_sample.h"
#include "ui/controls.h"
#include "ui/text.h"

namespace {

struct Vision
{
    VisionKind kind;
    const char8_t* name;
};

constexpr Vision Visions[] = {
    { VisionKind::Protan, u8"1型色覚（P型）" },
    { VisionKind::Deutan, u8"2型色覚（D型）" },
    { VisionKind::Tritan, u8"3型色覚（T型）" },
    { VisionKind::Achroma, u8"1色覚" },
};

// The slider moves in tenths of the full severity, from 0.1 to 1.
constexpr int SeveritySteps = 10;

} // namespace

VisionPanel::VisionPanel(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* severityLabel = new QLabel(ToQString(Sjis(u8"程度")), this);
    m_severity = new QSlider(Qt::Horizontal, this);
    m_severity->setRange(1, SeveritySteps);
    m_severity->setValue(SeveritySteps);
    m_severity->setPageStep(1);
    m_severity->setAccessibleName(ToQString(Sjis(u8"色覚の程度")));
    severityLabel->setBuddy(m_severity);
    m_severityText = new QLabel(this);
    auto* severityRow = new QHBoxLayout;
    severityRow->addWidget(severityLabel);
    severityRow->addWidget(m_severity, 1);
    severityRow->addWidget(m_severityText, 2);
    layout->addLayout(severityRow, 0, 0, 1, 4);

    int column = 0;
    for (const Vision& vision : Visions) {
        layout->addWidget(new QLabel(ToQString(Sjis(vision.name)), this), 1, column);
        m_samples[column] = new PairSample(PairSample::Kind::Compact, this);
        m_samples[column]->setAccessibleName(ToQString(Sjis(vision.name) + Sjis(u8"の見え方")));
        layout->addWidget(m_samples[column], 2, column);
        m_ratios[column] = new QLabel(this);
        layout->addWidget(m_ratios[column], 3, column);
        ++column;
    }

    connect(m_severity, &QSlider::valueChanged, this, &VisionPanel::Update);
}

void VisionPanel::SetPair(Rgb text, Rgb background)
{
    m_text = text;
    m_background = background;
    Update();
}

void VisionPanel::Update()
{
    const int steps = m_severity->value();
    const double severity = static_cast<double>(steps) / SeveritySteps;
    // Full severity is dichromacy; below it, anomalous trichromacy of that degree.
    m_severityText->setText(
        ToQString(steps == SeveritySteps ? Sjis(u8"100%（2色覚）")
                                         : std::to_string(steps * 10) + Sjis(u8"%（異常3色覚）")));
    int column = 0;
    for (const Vision& vision : Visions) {
        const Rgb text = SimulateVision(m_text, vision.kind, severity);
        const Rgb background = SimulateVision(m_background, vision.kind, severity);
        m_samples[column]->SetPair(ToQColor(ColorOf(text)), ToQColor(ColorOf(background)));
        const std::string ratio = RatioText(ContrastRatio(text, background));
        m_ratios[column]->setText(ToQString(ratio));
        m_ratios[column]->setAccessibleName(
            ToQString(Sjis(vision.name) + Sjis(u8"のコントラスト比 ") + ratio));
        ++column;
    }
}
