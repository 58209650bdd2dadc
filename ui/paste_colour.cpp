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

std::string PasteRefusalText()
{
    return Sjis(u8"クリップボードの内容を色として読み取れませんでした。\n"
                u8"貼り付けられるのは、次のような形で書かれた色です。\n"
                u8"#FF8000　FF8000　#F80　#FF8000CC\n"
                u8"rgb(255, 128, 0)　rgb(255 128 0 / 50%)　rgba(...)\n"
                u8"hsl(30, 100%, 50%)　hsl(30deg 100% 50%)　hsla(...)\n"
                u8"255, 128, 0　255 128 0\n"
                u8"CSS の色名（orange など）、Color Name 欄の色名\n"
                u8"透明度は無視しますが、完全に透明な色（透明度が0）は貼り付けられません。\n"
                u8"色をコピーし直してから、もう一度 Ctrl+Shift+V キーを押してください。");
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
    ShowChosenColour(form, ColorOf(*colour));
    RememberTakenColour(*colour);
}
