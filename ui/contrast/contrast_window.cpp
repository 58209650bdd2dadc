#include "ui/contrast/contrast_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "colour/contrast.h"
#include "platform/codepage.h"
#include "ui/boxes.h"
#include "ui/contrast/colour_field.h"
#include "ui/contrast/level_list.h"
#include "ui/contrast/pair_sample.h"
#include "ui/contrast/suggestion_list.h"
#include "ui/contrast/vision_panel.h"
#include "ui/pick/screenpick.h"
#include "ui/swatch_colour.h"
#include "ui/controls.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

QGroupBox* Group(const char8_t* title, QWidget* content, QWidget* parent)
{
    auto* group = new QGroupBox(ToQString(Sjis(title)), parent);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(content);
    return group;
}

} // namespace

ContrastWindow::ContrastWindow(TForm1& form, Rgb text, Rgb background)
    : QWidget(&form, Qt::Window)
    , m_form(form)
    , m_text(text)
    , m_background(background)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window's Japanese face, already loaded: the desktop's default face would send
    // every Japanese character to a fallback face, whose first lookup costs more than the rest of
    // the window's opening.
    setFont(form.font());
    setWindowTitle(ToQString(Sjis(u8"コントラストの確認")));

    m_textField = new ColourField(Sjis(u8"文字色"), this);
    m_backgroundField = new ColourField(Sjis(u8"背景色"), this);
    m_swap = new QPushButton(ToQString(Sjis(u8"↑↓ 入れ替え")), this);
    m_swap->setAccessibleName(ToQString(Sjis(u8"文字色と背景色を入れ替え")));
    m_swap->setAutoDefault(false);
    m_sample = new PairSample(PairSample::Kind::Full, this);
    m_sample->setAccessibleName(ToQString(Sjis(u8"文字の見本")));
    m_levels = new LevelList(this);
    m_suggestions = new SuggestionList(this);
    m_vision = new VisionPanel(this);

    auto* fields = new QVBoxLayout;
    fields->addWidget(m_textField);
    fields->addWidget(m_backgroundField);
    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addWidget(m_swap);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_sample, 1, Qt::AlignTop);
    middle->addWidget(m_levels);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addWidget(
        Group(u8"基準を満たす近い色（クリックするとその色にします）", m_suggestions, this));
    layout->addWidget(Group(u8"色覚の違いによる見え方", m_vision, this));
    layout->addStretch(1);

    connect(m_textField, &ColourField::Entered, this, [this](Rgb colour) { SetOne(true, colour); });
    connect(m_backgroundField, &ColourField::Entered, this,
        [this](Rgb colour) { SetOne(false, colour); });
    connect(m_textField, &ColourField::PickRequested, this, [this] { Pick(true); });
    connect(m_backgroundField, &ColourField::PickRequested, this, [this] { Pick(false); });
    connect(m_textField, &ColourField::SwatchColourRequested, this,
        [this] { SetOne(true, SwatchColour(*m_form.Shape1)); });
    connect(m_backgroundField, &ColourField::SwatchColourRequested, this,
        [this] { SetOne(false, SwatchColour(*m_form.Shape1)); });
    connect(m_swap, &QPushButton::clicked, this, [this] { SetPair(m_background, m_text); });
    connect(m_suggestions, &SuggestionList::Taken, this, &ContrastWindow::SetOne);
    // A window beside the main one closes with Escape, as a dialog would.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
        &QWidget::close);

    SetPair(text, background);
}

void ContrastWindow::SetPair(Rgb text, Rgb background)
{
    const bool backgroundChanged = background != m_background;
    m_text = text;
    m_background = background;
    m_textField->Show(text);
    m_backgroundField->Show(background);
    m_sample->SetPair(ToQColor(ColorOf(text)), ToQColor(ColorOf(background)));
    m_levels->SetRatio(ContrastRatio(text, background));
    m_suggestions->SetPair(text, background);
    m_vision->SetPair(text, background);
    if (backgroundChanged) {
        emit BackgroundChanged(background);
    }
}

void ContrastWindow::SetOne(bool forText, Rgb colour)
{
    if (forText) {
        SetPair(colour, m_background);
    } else {
        SetPair(m_text, colour);
    }
}

void ContrastWindow::Pick(bool forText)
{
    // One pick at a time: a second click while the desktop's picker is open starts none.
    if (m_picking) {
        return;
    }
    m_picking = true;
    PickFromScreen(*this, [this, forText](const ScreenPickOutcome& outcome) {
        m_picking = false;
        switch (outcome.result) {
        case ScreenPickOutcome::Picked:
            SetOne(
                forText, { outcome.colour.red(), outcome.colour.green(), outcome.colour.blue() });
            return;
        case ScreenPickOutcome::Unavailable:
        case ScreenPickOutcome::Failed:
            // Nothing changes; the user learns why.
            ShowInformationBox(FromQString(outcome.reason));
            return;
        case ScreenPickOutcome::Cancelled:
            return;
        }
    });
}
