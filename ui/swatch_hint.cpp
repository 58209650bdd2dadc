#include "ui/swatch_hint.h"

#include <cmath>
#include <cstdio>

#include <QHelpEvent>
#include <QToolTip>
#include <QVariant>

#include "colour/contrast.h"
#include "colour/css_named_colors.h"
#include "colour/named_colors.h"
#include "colour/nearest_colour.h"
#include "platform/codepage.h"
#include "ui/controls.h"
#include "ui/swatch_colour.h"
#include "ui/text.h"

namespace {

// "白とのコントラスト比: 8.59:1（満たす基準: AAA、AA、大きな文字の AA）", the levels from the
// strictest down, in the order and with the names the help's table uses.
std::string ContrastLine(const char8_t* against, Rgb colour, Rgb background)
{
    const double ratio = ContrastRatio(colour, background);
    const ContrastLevels levels = LevelsOf(ratio);
    std::string passed;
    auto add = [&passed](const char8_t* level) {
        if (!passed.empty()) {
            passed += Sjis(u8"、");
        }
        passed += Sjis(level);
    };
    if (levels.aaa) {
        add(u8"AAA");
    }
    if (levels.aa) {
        add(u8"AA");
    }
    if (levels.aaLarge) {
        add(u8"大きな文字の AA");
    }
    return Sjis(against) + Sjis(u8"とのコントラスト比: ") + RatioText(ratio)
        + Sjis(u8"（満たす基準: ") + (passed.empty() ? Sjis(u8"なし") : passed) + Sjis(u8"）");
}

// The colour (as a TColor) that was brought in from outside sRGB, on the swatch.
constexpr const char* outOfGamutProperty = "tintoraOutOfGamut";

class SwatchHint : public QObject
{
public:
    explicit SwatchHint(TShape& swatch)
        : QObject(&swatch)
        , m_swatch(swatch)
    {
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip) {
            return false;
        }
        const Rgb colour = SwatchColour(m_swatch);
        const QVariant marked = m_swatch.property(outOfGamutProperty);
        const bool outOfGamut = marked.isValid() && marked.toInt() == ColorOf(colour);
        const QString text = ToQString(SwatchHintText(colour, outOfGamut));
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, &m_swatch);
        return true;
    }

private:
    TShape& m_swatch;
};

} // namespace

std::string SwatchHintText(Rgb colour, bool outOfGamut)
{
    const NamedColor& named = NamedColorTable[NearestNamedColor(colour)];
    const CssNamedColor& css = CssNamedColors[NearestCssColor(colour)];
    // Both codes as the HEX box shows them: six digits, no "#".
    return Sjis(u8"いちばん近い色名（Color Name）: ") + std::string(named.name) + Sjis(u8"（")
        + std::string(named.hex) + Sjis(u8"）\nいちばん近い CSS の色名: ") + std::string(css.name)
        + Sjis(u8"（") + std::string(css.hex) + Sjis(u8"）\n")
        + ContrastLine(u8"白", colour, { 255, 255, 255 }) + "\n"
        + ContrastLine(u8"黒", colour, { 0, 0, 0 })
        + (outOfGamut
                ? Sjis(u8"\nこの色は sRGB の範囲外のため、いちばん近い表示できる色で示しています")
                : std::string());
}

void MarkOutOfGamut(TShape& swatch)
{
    swatch.setProperty(outOfGamutProperty, QVariant(ColorOf(SwatchColour(swatch))));
}

void InstallSwatchHint(TShape& swatch)
{
    swatch.installEventFilter(new SwatchHint(swatch));
}
