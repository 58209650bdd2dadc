#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "settings/component.h"
#include "ui/colordialog.h"
#include "ui/controls.h"
#include "settings/inibrel.h"
#include "settings/string_list.h"

enum TCloseAction { caNone, caHide, caFree, caMinimize };

/// The main window. Its fields are the controls and components of the stored layout; its
/// methods are the event handlers.
class TForm1 : public QWidget, public TComponent
{
    Q_OBJECT
public:
    /// Creates every component in layout order, applies the stored properties, completes loading
    /// and runs FormCreate (an error there is shown in the exception box; the window opens anyway).
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    TShape* Shape1 = nullptr;
    TButton* Button1 = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* Button2 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TButton* Button3 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TSpeedButton* SpeedButton4 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TButton* Button4 = nullptr;
    TIniBrel* IniBrel1 = nullptr;
    TButton* Button5 = nullptr;

    void Button1Click(QObject* Sender);
    void Button2Click(QObject* Sender);
    void Button3Click(QObject* Sender);
    void ComboBox1Change(QObject* Sender);
    void SpeedButton1Click(QObject* Sender);
    void SpeedButton2Click(QObject* Sender);
    void SpeedButton3Click(QObject* Sender);
    void SpeedButton4Click(QObject* Sender);
    void Button4Click(QObject* Sender);
    void FormCreate(QObject* Sender);
    void FormClose(QObject* Sender, TCloseAction& Action);
    void ComboBox2DblClick(QObject* Sender);
    void Button5Click(QObject* Sender);

    /// Loads the stored user colours into the list and the drop-down, as the start does; a load
    /// without the code-page conversions or with a damaged count throws its error after listing
    /// what it found.
    void ReloadUserColors();

protected:
    void closeEvent(QCloseEvent* event) override;
    /// A change of the desktop's colour scheme re-applies the system colours.
    bool event(QEvent* event) override;

private:
    /// The face, text and window colours from GetSysColor, and the button pictures for that face.
    void ApplySystemColors();
    void SetButtonPictures();

    bool m_closed = false; // FormClose has run and the window agreed to close
};

/// Runs a handler; an Exception (or any other error) that escapes it is shown in the
/// application's exception box, so no error travels into the event loop.
void RunHandler(const std::function<void()>& handler);

/// Writes each decimal component of SplitHexToRgb into its box (Edit2, Edit3, Edit4) the moment it
/// has been read.
RgbReceiver ComponentBoxes(TForm1& form);

/// Shows a plain colour in the boxes, as the colour dialog's OK does and as a paste, a screen pick
/// and a colour on the command line do: its six upper-case digits in the HEX box and CurrentHex
/// (so that registering stores them), the swatch painted with it, and the R, G and B boxes from
/// the code.
void ShowChosenColour(TForm1& form, TColor colour);

extern TForm1* Form1;
extern std::string CurrentHex;
extern std::int32_t UserColorCount;
extern std::shared_ptr<TStringList> UserColorList;
