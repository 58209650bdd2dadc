#include "ui/swatch_colour.h"

#include "ui/controls.h"

Rgb SwatchColour(const TShape& swatch)
{
    const QColor shown = ToQColor(swatch.BrushColor());
    return { shown.red(), shown.green(), shown.blue() };
}
