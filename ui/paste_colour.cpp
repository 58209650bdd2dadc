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
#include "ui/text.h"
#include "ui/unit1.h"

void ShowEnteredColour(TForm1& form, Rgb colour)
{
    form.Edit1->SetText(ColorToHex(ColorOf(colour)));
    CurrentHex = form.Edit1->Text();
    form.Shape1->SetBrushColor(HexToColor(form.Edit1->Text()));
    SplitHexToRgb(form.Edit1->Text(), ComponentBoxes(form));
}

std::string PasteRefusalText()
{
    return Sjis(u8"クリップボードの内容を色として読み取れませんでした。\n"
                u8"貼り付けられるのは、次のような形で書かれた色です。\n"
                u8"#FF8000　FF8000　#F80　#FF8000CC\n"
                u8"rgb(255, 128, 0)　rgb(255 128 0 / 50%)　rgba(...)\n"
                u8"hsl(30, 100%, 50%)　hsl(30deg 100% 50%)　hsla(...)\n"
                u8"255, 128, 0　255 128 0\n"
                u8"CSS の色名（orange など）、Color Name 欄の名前");
}

void PasteColour(TForm1& form)
{
    const std::optional<Rgb> colour =
        ReadColourText(FromQString(QApplication::clipboard()->text()));
    if (!colour && PickClipboardImageInto(form))
        return;
    if (!colour) {
        ShowInformationBox(PasteRefusalText());
        return;
    }
    ShowEnteredColour(form, *colour);
    RememberTakenColour(*colour);
}
