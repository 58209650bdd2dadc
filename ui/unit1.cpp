#include "ui/unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPalette>

#include "colour/exception.h"
#include "colour/named_colors.h"
#include "platform/codepage.h"
#include "platform/syscolor.h"
#include "settings/window_ini.h"
#include "ui/boxes.h"
#include "ui/desktop_colors.h"
#include "ui/fonts.h"
#include "ui/help.h"
#include "ui/pictures.h"
#include "ui/text.h"
#include "ui/window_extras.h"

TForm1* Form1 = nullptr;

void RunHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const Exception& error) {
        ShowExceptionBox(error.Message());
    } catch (const std::exception& error) {
        ShowExceptionBox(error.what());
    }
}

namespace {

constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;

// The window's client area. The stored outer size 311x222 holds a sizeable frame of 4 pixels on
// each side and a caption of 19; the frame itself is the window manager's here.
constexpr int ClientWidth = 311 - 4 - 4;
constexpr int ClientHeight = 222 - 4 - 19 - 4;
constexpr int WindowLeft = 197;
constexpr int WindowTop = 107;

const QString& FontFace()
{
    static const QString face = ToQString(Sjis("ＭＳ Ｐゴシック"));
    return face;
}

// The window's face is not installed on Linux desktops: stand in a Japanese proportional gothic
// so that no character is drawn as a missing-glyph box.
void SubstituteFontFace()
{
    static const bool done = [] {
        QFont::insertSubstitutions(FontFace(),
            { QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic") });
        return true;
    }();
    (void)done;
}

QFont WindowFont(int pixels, bool bold = false)
{
    QFont font(FontFace());
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The caption's spaces put its letters R and G one box apart in the window's own face; the
// stand-in face is wider, so its letters are drawn closer together until they are again.
void AlignOverBoxes(QLabel* label, qreal boxStep)
{
    QFont font = label->font();
    const QFontMetricsF metrics(font);
    const QString text = label->text();
    auto centre = [&](qsizetype index) {
        return metrics.horizontalAdvance(text.left(index))
            + metrics.horizontalAdvance(text.at(index)) / 2;
    };
    const qsizetype red = text.indexOf(QChar(0xFF32));
    const qsizetype green = text.indexOf(QChar(0xFF27));
    if (red < 0 || green <= red) {
        return;
    }
    font.setLetterSpacing(QFont::AbsoluteSpacing,
        (boxStep - (centre(green) - centre(red))) / static_cast<qreal>(green - red));
    label->setFont(font);
}

template <class Control>
Control* Place(QWidget* form, const char* name, int left, int top, int width, int height)
{
    auto* control = new Control(form);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left, top, width, height);
    return control;
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent)
    , TComponent(nullptr)
{
    SetName("Form1");
    SetLoading(true);
    SubstituteFontFace();

    // The window itself.
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ToQString("Tintora Ver 1.1"));
    setWindowIcon(ProgramIcon());
    move(WindowLeft, WindowTop);
    resize(ClientWidth, ClientHeight);
    FollowDesktopColors();
    ApplySystemColors();
    setFont(WindowFont(12));
    const QFont large = WindowFont(15);
    const QFont largeBold = WindowFont(15, true);

    // The controls, in the stored layout's order. Positions are client pixels and stay fixed
    // when the window is resized.
    Shape1 = Place<TShape>(this, "Shape1", 8, 40, 65, 73);
    Shape1->setAccessibleName(ToQString(Sjis("色見本")));

    Label1 = Place<TLabel>(this, "Label1", 80, 40, 31, 15);
    Label1->setFont(largeBold);
    Label1->setText(ToQString("HEX"));
    Label1->setAccessibleName(Label1->text());

    Label2 = Place<TLabel>(this, "Label2", 80, 68, 106, 15);
    Label2->setFont(largeBold);
    Label2->setText(ToQString(Sjis("　Ｒ　 　Ｇ　 　Ｂ")));
    Label2->setAccessibleName(Label2->text());
    AlignOverBoxes(Label2, 40);
    FitLabelToText(Label1);
    FitLabelToText(Label2);

    struct PictureButton
    {
        TSpeedButton*& field;
        const char* name;
        int left;
        const char* hint;
    };
    const PictureButton pictureButtons[] = {
        { SpeedButton1, "SpeedButton1", 8, "終了" },
        { SpeedButton2, "SpeedButton2", 40, "ｶﾗｰﾀﾞｲｱﾛｸﾞを表示" },
        { SpeedButton3, "SpeedButton3", 104, "HELPを表示" },
        { SpeedButton4, "SpeedButton4", 72, "HEX値をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ" },
    };
    for (const PictureButton& button : pictureButtons) {
        button.field = Place<TSpeedButton>(this, button.name, button.left, 4, 25, 25);
        SetHint(button.field, Sjis(button.hint));
        button.field->setAccessibleName(button.field->toolTip());
    }
    SetButtonPictures();

    auto pushButton = [this](const char* name, int left, int top, int width, const char* caption,
                          const char* hint) {
        auto* button = Place<TButton>(this, name, left, top, width, 25);
        button->setText(ToQString(Sjis(caption)));
        SetHint(button, Sjis(hint));
        button->setAccessibleName(button->text());
        button->setAccessibleDescription(button->toolTip());
        return button;
    };
    auto edit = [this, &large](const char* name, int left, int top, int width, const char* label) {
        auto* box = Place<TEdit>(this, name, left, top, width, 23);
        box->setFont(large);
        box->setAccessibleName(ToQString(label));
        return box;
    };

    Button1 = pushButton("Button1", 208, 40, 89, "色->RGB値", "色を作成しRGBを表示");
    Edit1 = edit("Edit1", 120, 40, 73, "HEX");
    Button2 = pushButton("Button2", 208, 88, 89, "RGB値->色", "RGB値から色を表示");
    Edit2 = edit("Edit2", 80, 88, 35, "R");
    Edit3 = edit("Edit3", 120, 88, 35, "G");
    Edit4 = edit("Edit4", 160, 88, 35, "B");
    Button3 = pushButton("Button3", 224, 128, 57, "クリア", "表示項目をｸﾘｱ");

    auto comboBox = [this, &large](const char* name, int top, const char* text, const char* hint) {
        auto* box = Place<TComboBox>(this, name, 8, top, 145, 23);
        box->setFont(large);
        box->SetText(text);
        SetHint(box, Sjis(hint));
        box->setAccessibleName(box->toolTip());
        return box;
    };
    ComboBox1 = comboBox("ComboBox1", 128, "Color Name", "ｶﾗｰ名を選択");
    for (const NamedColor& colour : NamedColorTable) {
        ComboBox1->AddItem(std::string(colour.name));
    }
    ComboBox1->AddItem(std::string());
    ComboBox2 = comboBox("ComboBox2", 160, "User Color", "ダブルクリックで色を表示します");

    Button4 = pushButton("Button4", 224, 160, 57, "登録", "ユーザカラーの登録");
    Button5 = pushButton("Button5", 168, 160, 41, "削除", "表示しているユーザカラーを削除します");

    ColorDialog1 = new TColorDialog(this);
    ColorDialog1->SetName("ColorDialog1");
    ColorDialog1->SetLoading(true);
    ColorDialog1->Color = clWhite;

    IniBrel1 = new TIniBrel(this);
    IniBrel1->SetName("IniBrel1");
    IniBrel1->SetWarningBox(
        [](const std::string& message) { return ShowWarningBox(message, mbOK); });
    SetWindowIniProperties(*IniBrel1);

    // Keyboard order: Tab runs through these and back to the first.
    QWidget* const tabOrder[] = { Button1, Edit1, Edit2, Edit3, Edit4, Button2, Button3, ComboBox1,
        ComboBox2, Button4, Button5 };
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    Button1->setFocus();

    // Every control event runs its handler through RunHandler, so no error reaches Qt's loop.
    auto bind = [this](QObject* sender, void (TForm1::*handler)(QObject*)) {
        return [this, sender, handler] { RunHandler([&] { (this->*handler)(sender); }); };
    };
    connect(
        SpeedButton1, &QToolButton::clicked, this, bind(SpeedButton1, &TForm1::SpeedButton1Click));
    connect(
        SpeedButton2, &QToolButton::clicked, this, bind(SpeedButton2, &TForm1::SpeedButton2Click));
    connect(
        SpeedButton3, &QToolButton::clicked, this, bind(SpeedButton3, &TForm1::SpeedButton3Click));
    connect(
        SpeedButton4, &QToolButton::clicked, this, bind(SpeedButton4, &TForm1::SpeedButton4Click));
    connect(Button1, &QPushButton::clicked, this, bind(Button1, &TForm1::Button1Click));
    connect(Button2, &QPushButton::clicked, this, bind(Button2, &TForm1::Button2Click));
    connect(Button3, &QPushButton::clicked, this, bind(Button3, &TForm1::Button3Click));
    connect(Button4, &QPushButton::clicked, this, bind(Button4, &TForm1::Button4Click));
    connect(Button5, &QPushButton::clicked, this, bind(Button5, &TForm1::Button5Click));
    connect(ComboBox1, &TComboBox::Change, this, bind(ComboBox1, &TForm1::ComboBox1Change));
    connect(ComboBox2, &TComboBox::DblClick, this, bind(ComboBox2, &TForm1::ComboBox2DblClick));

    // Loading is complete: the window first, then each component in the layout's order.
    LoadingComplete();
    ColorDialog1->LoadingComplete();
    IniBrel1->LoadingComplete();

    RunHandler([this] { FormCreate(this); });

    // Context menus, shortcuts and hints beside the controls' own commands.
    InstallWindowExtras(*this);
}

TForm1::~TForm1()
{
    // Controls destroyed after this point (focus leaving, entries removed) run no handler.
    for (QObject* child : children()) {
        disconnect(child, nullptr, this, nullptr);
    }
    if (Form1 == this) {
        Form1 = nullptr;
    }
}

void TForm1::ApplySystemColors()
{
    QPalette colours = QApplication::palette(this);
    const QColor face = ToQColor(static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    colours.setColor(QPalette::Window, face);
    colours.setColor(QPalette::Button, face);
    colours.setColor(QPalette::Base, ToQColor(static_cast<TColor>(GetSysColor(COLOR_WINDOW))));
    const QColor text = ToQColor(static_cast<TColor>(GetSysColor(COLOR_WINDOWTEXT)));
    colours.setColor(QPalette::WindowText, text);
    colours.setColor(QPalette::ButtonText, text);
    colours.setColor(QPalette::Text, text);
    setPalette(colours);
    SetButtonPictures();
}

void TForm1::SetButtonPictures()
{
    const QColor face = palette().color(QPalette::Button);
    const QColor text = palette().color(QPalette::ButtonText);
    const std::pair<TSpeedButton*, ButtonPicture> buttons[] = {
        { SpeedButton1, ButtonPicture::Exit },
        { SpeedButton2, ButtonPicture::ColorDialog },
        { SpeedButton3, ButtonPicture::Help },
        { SpeedButton4, ButtonPicture::Copy },
    };
    for (const auto& [button, picture] : buttons) {
        if (button) {
            button->setIcon(ButtonPictureIcon(picture, face, text));
            button->setIconSize(ButtonPictureSize(face));
        }
    }
}

bool TForm1::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::ThemeChange) {
        ApplySystemColors();
    }
    return handled;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    TCloseAction action = caHide;
    RunHandler([&] { FormClose(this, action); });
    if (action == caNone) {
        event->ignore();
        return;
    }
    m_closed = true;
    event->accept();
    if (Form1 == this) {
        // Closing the main window ends the program once the events already waiting are handled.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    }
}

void TForm1::SpeedButton1Click(QObject*)
{
    close();
}

void TForm1::SpeedButton3Click(QObject*)
{
    WinHelpA(this, ApplicationHelpFile().c_str(), HELP_CONTENTS, 0);
}

void TForm1::SpeedButton4Click(QObject*)
{
    // The edit box's own select-all and copy: an empty box copies nothing.
    Edit1->selectAll();
    Edit1->copy();
}
