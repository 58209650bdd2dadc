#include "ui/contrast/suggestion_list.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "colour/colour_forms.h"
#include "colour/contrast.h"
#include "colour/contrast_suggestions.h"
#include "platform/codepage.h"
#include "ui/controls.h"
#include "ui/text.h"

namespace {

// The first level of the thresholds' levels stands for them all: a level passes on the ratio
// against its threshold alone.
ContrastLevel LevelFor(double threshold)
{
    for (ContrastLevel level : AllContrastLevels) {
        if (ThresholdOf(level) == threshold) {
            return level;
        }
    }
    return ContrastLevel::NormalAA;
}

std::vector<double> Thresholds()
{
    std::vector<double> thresholds;
    for (ContrastLevel level : AllContrastLevels) {
        thresholds.push_back(ThresholdOf(level));
    }
    std::sort(thresholds.begin(), thresholds.end());
    thresholds.erase(std::unique(thresholds.begin(), thresholds.end()), thresholds.end());
    return thresholds;
}

std::string GroupHeading(double threshold)
{
    std::string names;
    for (ContrastLevel level : AllContrastLevels) {
        if (ThresholdOf(level) == threshold) {
            names += (names.empty() ? "" : Sjis(u8"、")) + ContrastLevelName(level);
        }
    }
    return ThresholdText(threshold) + Sjis(u8"以上にする色（") + names + Sjis(u8"）");
}

std::string SuggestionText(bool forText, const ContrastSuggestion& suggestion)
{
    char distance[32];
    std::snprintf(distance, sizeof distance, "%.1f", suggestion.distance);
    return Sjis(forText ? u8"文字色 " : u8"背景色 ") + ColourForms(suggestion.colour)[0]
        + Sjis(suggestion.darker ? u8"（暗い色）　" : u8"（明るい色）　")
        + RatioText(suggestion.ratio) + Sjis(u8"　色差 ") + distance;
}

QIcon SwatchIcon(Rgb colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(ToQColor(ColorOf(colour)));
    // A mid grey edge shows the swatch on a light and on a dark button alike.
    QPainter painter(&pixmap);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(0, 0, 15, 15);
    painter.end();
    return QIcon(pixmap);
}

} // namespace

SuggestionList::SuggestionList(QWidget* parent)
    : QWidget(parent)
{
}

void SuggestionList::SetPair(Rgb text, Rgb background)
{
    // The list is made anew for each pair. The old entries leave it at once; a button that was
    // clicked is deleted once its click is done.
    for (QWidget* widget : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        widget->hide();
        widget->setParent(nullptr);
        widget->deleteLater();
    }
    delete m_layout;
    m_layout = new QGridLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setVerticalSpacing(2);
    int row = 0;
    const double ratio = ContrastRatio(text, background);
    bool anyFailed = false;
    for (double threshold : Thresholds()) {
        if (Passes(ratio, LevelFor(threshold))) {
            continue;
        }
        anyFailed = true;
        auto* heading = new QLabel(ToQString(GroupHeading(threshold)), this);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        m_layout->addWidget(heading, row++, 0, 1, 2);
        row += std::max(AddSuggestions(true, text, background, threshold, row),
            AddSuggestions(false, background, text, threshold, row));
    }
    if (!anyFailed) {
        m_layout->addWidget(
            new QLabel(ToQString(Sjis(u8"五つの基準をすべて満たしています。")), this), row, 0, 1,
            2);
    }
}

int SuggestionList::AddSuggestions(bool forText, Rgb change, Rgb keep, double threshold, int row)
{
    const std::vector<ContrastSuggestion> suggestions =
        SuggestContrast(change, keep, LevelFor(threshold));
    if (suggestions.empty()) {
        m_layout->addWidget(
            new QLabel(ToQString(Sjis(forText
                               ? u8"文字色の明るさを変えるだけでは、この基準を満たせません。"
                               : u8"背景色の明るさを変えるだけでは、この基準を満たせません。")),
                this),
            row, forText ? 0 : 1);
        return 1;
    }
    for (const ContrastSuggestion& suggestion : suggestions) {
        auto* button = new QPushButton(
            SwatchIcon(suggestion.colour), ToQString(SuggestionText(forText, suggestion)), this);
        button->setAutoDefault(false);
        button->setToolTip(
            ToQString(Sjis(forText ? u8"クリックすると文字色を " : u8"クリックすると背景色を ")
                + ColourForms(suggestion.colour)[0]
                + Sjis(u8" にします。色差は、元の色との CIEDE2000 の値です。")));
        const Rgb colour = suggestion.colour;
        connect(button, &QPushButton::clicked, this,
            [this, forText, colour] { emit Taken(forText, colour); });
        m_layout->addWidget(button, row++, forText ? 0 : 1);
    }
    return static_cast<int>(suggestions.size());
}
