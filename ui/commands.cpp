// The colour display commands and the named colour list. Each step writes its result at once, so
// a conversion error that ends a command leaves on screen what the steps before it wrote.

#include <string>

#include "colour/conversions.h"
#include "colour/named_colors.h"
#include "platform/codepage.h"
#include "ui/boxes.h"
#include "ui/unit1.h"

std::string CurrentHex;

RgbReceiver ComponentBoxes(TForm1& form)
{
    return [&form](RgbComponent component, const std::string& text) {
        switch (component) {
        case RgbComponent::Red:
            form.Edit2->SetText(text);
            break;
        case RgbComponent::Green:
            form.Edit3->SetText(text);
            break;
        case RgbComponent::Blue:
            form.Edit4->SetText(text);
            break;
        }
    };
}

void TForm1::Button1Click(QObject*)
{
    if (!Edit1->Text().empty()) {
        // A typed code paints at once; a text that does not read paints black.
        Shape1->SetBrushColor(HexToColor(Edit1->Text()));
    } else if (ColorDialog1->RunDialog()) {
        Edit1->SetText(ColorToHex(ColorDialog1->Color));
        Shape1->SetBrushColor(ColorDialog1->Color);
        CurrentHex = Edit1->Text();
    }
    // After a cancelled dialog the box is still empty and the red piece fails here.
    SplitHexToRgb(Edit1->Text(), ComponentBoxes(*this));
}

void TForm1::Button2Click(QObject*)
{
    if (Edit1->Text().empty()) {
        for (const TEdit* box : { Edit2, Edit3, Edit4 }) {
            if (box->Text().empty()) {
                static const std::string putCode = Sjis(u8"何かコードいれてね");
                ShowInformationBox(putCode);
                return;
            }
        }
        Edit1->SetText(RgbToHex(Edit2->Text(), Edit3->Text(), Edit4->Text()));
        CurrentHex = Edit1->Text();
    }
    Shape1->SetBrushColor(HexToColor(Edit1->Text()));
    SplitHexToRgb(Edit1->Text(), ComponentBoxes(*this));
}

void TForm1::Button3Click(QObject*)
{
    Edit1->SetText(std::string());
    Edit2->SetText(std::string());
    Edit3->SetText(std::string());
    Edit4->SetText(std::string());
    Shape1->SetBrushColor(clWhite);
    ComboBox1->SetText("Color Name");
    ComboBox2->SetText("User Color");
}

void TForm1::SpeedButton2Click(QObject*)
{
    if (!ColorDialog1->RunDialog()) {
        return;
    }
    ShowChosenColour(*this, ColorDialog1->Color);
}

void ShowChosenColour(TForm1& form, TColor colour)
{
    form.Edit1->SetText(ColorToHex(colour));
    form.Shape1->SetBrushColor(colour);
    CurrentHex = form.Edit1->Text();
    SplitHexToRgb(form.Edit1->Text(), ComponentBoxes(form));
}

void TForm1::ComboBox1Change(QObject*)
{
    // Only the selected index counts, never the text typed into the box; no entry, and the
    // empty last entry, give no code.
    const int index = ComboBox1->ItemIndex();
    std::string code;
    if (index >= 0 && index < static_cast<int>(NamedColorTable.size())) {
        code = std::string(NamedColorTable[static_cast<std::size_t>(index)].hex);
    }
    Edit1->SetText(code);
    CurrentHex = code;
    SplitHexToRgb(Edit1->Text(), ComponentBoxes(*this));
    Shape1->SetBrushColor(HexToColor(Edit1->Text()));
}
