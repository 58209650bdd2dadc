#include "ui/contrast/colour_field.h"

#include <optional>

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "colour/colour_forms.h"
#include "colour/colour_text.h"
#include "platform/codepage.h"
#include "ui/controls.h"
#include "ui/text.h"

ColourField::ColourField(const std::string& caption, QWidget* parent)
    : QWidget(parent)
{
    const QString name = ToQString(caption);
    auto* label = new QLabel(name, this);

    auto* swatch = new QFrame(this);
    // Edged in the window's text colour, so a white or black swatch shows on any desktop.
    swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_swatch = swatch;
    m_swatch->setFixedSize(32, 24);
    m_swatch->setAutoFillBackground(true);
    m_swatch->setAccessibleName(name + ToQString(Sjis(u8"の見本")));

    m_box = new QLineEdit(this);
    m_box->setAccessibleName(name);
    m_box->setObjectName(name);
    m_box->setMinimumWidth(160);
    label->setBuddy(m_box);

    m_problem = new QLabel(this);

    m_pick = new QPushButton(ToQString(Sjis(u8"画面から取得")), this);
    m_pick->setAccessibleName(name + ToQString(Sjis(u8"を画面から取得")));
    m_pick->setAutoDefault(false);
    m_fromSwatch = new QPushButton(ToQString(Sjis(u8"色見本の色")), this);
    m_fromSwatch->setAccessibleName(name + ToQString(Sjis(u8"を色見本の色にする")));
    m_fromSwatch->setToolTip(ToQString(Sjis(u8"メインのウィンドウの色見本の色を使います")));
    m_fromSwatch->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_swatch, 0, 1);
    layout->addWidget(m_box, 0, 2);
    layout->addWidget(m_pick, 0, 3);
    layout->addWidget(m_fromSwatch, 0, 4);
    layout->addWidget(m_problem, 1, 2, 1, 3);
    layout->setColumnStretch(2, 1);

    connect(m_box, &QLineEdit::textEdited, this, &ColourField::BoxEdited);
    connect(m_pick, &QPushButton::clicked, this, &ColourField::PickRequested);
    connect(m_fromSwatch, &QPushButton::clicked, this, &ColourField::SwatchColourRequested);
}

void ColourField::Show(Rgb colour)
{
    QPalette palette = m_swatch->palette();
    palette.setColor(QPalette::Window, ToQColor(ColorOf(colour)));
    m_swatch->setPalette(palette);
    if (ReadColourText(FromQString(m_box->text())) != colour) {
        m_box->setText(ToQString(ColourForms(colour)[0]));
    }
    m_problem->clear();
}

void ColourField::BoxEdited(const QString& text)
{
    const std::optional<Rgb> colour = ReadColourText(FromQString(text));
    if (!colour) {
        // While a colour is being typed the text often names none yet: the pair stays as it was
        // and the line under the box says so, without a box that would take the focus.
        m_problem->setText(text.trimmed().isEmpty()
                ? QString()
                : ToQString(
                    Sjis(u8"色として読み取れません（例：#FF8000、rgb(255 128 0)、orange）。")));
        return;
    }
    m_problem->clear();
    emit Entered(*colour);
}
