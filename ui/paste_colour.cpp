#include "ui/paste_colour.h"

#include <optional>

#include <QApplication>
#include <QClipboard>

#include "colour/colour_text.h"
#include "colour/conversions.h"
#include "platform/codepage.h"
#include "ui/boxes.h"
#include "ui/pick/image_pick.h"
#include "ui/recent_colours_menu.h"
#include "ui/swatch_hint.h"
#include "ui/text.h"
#include "ui/unit1.h"

std::string PasteRefusalText()
{
    return Sjis(u8"貼り付けられるのは、次のような形で書かれた色です。\n"
                u8"#FF8000　FF8000　#F80　#FF8000CC　0xFF8000\n"
                u8"rgb(255, 128, 0)　rgb(255 128 0 / 50%)　rgba(...)\n"
                u8"hsl(30, 100%, 50%)　hsl(30deg 100% 50%)　hwb(30 0% 0%)\n"
                u8"oklch(70% 0.1 200)　oklab(...)　lab(50% 40 -20)　lch(...)\n"
                u8"color(display-p3 1 0.5 0)（srgb、a98-rgb、rec2020 なども）\n"
                u8"255, 128, 0　255 128 0\n"
                u8"CSS の色名（orange など）、Color Name 欄の名前\n"
                u8"color: #FF8000; のような、色が一つだけの宣言\n"
                u8"透明度は無視しますが、完全に透明な色（#FF800000 など）は貼り付けられません。\n"
                u8"色をコピーし直してから、もう一度 Ctrl+Shift+V キーを押してください。");
}

std::string PasteRefusalText(std::string_view clipboard, const std::string& expected)
{
    return Sjis(u8"クリップボードの内容") + QuotedColourText(clipboard)
        + Sjis(u8"を色として読み取れませんでした。\n") + expected + "\n\n" + PasteRefusalText();
}

std::string OutOfGamutPasteText()
{
    return Sjis(
        u8"貼り付けた色は sRGB の範囲外のため、見た目がいちばん近い表示できる色にしました。");
}

void PasteColour(TForm1& form)
{
    const QByteArray utf8 = QApplication::clipboard()->text().toUtf8();
    const std::string text =
        ColourTextOfUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    const ColourReading reading = ReadColour(text);
    if (!reading.rgb && PickClipboardImageInto(form))
        return;
    if (!reading.rgb) {
        ShowInformationBox(PasteRefusalText(text, reading.expected));
        return;
    }
    ShowChosenColour(form, ColorOf(*reading.rgb));
    RememberTakenColour(*reading.rgb);
    if (reading.outOfGamut) {
        MarkOutOfGamut(*form.Shape1);
        ShowInformationBox(OutOfGamutPasteText());
    }
}
