#pragma once

#include <string>

#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include "colour/conversions.h"
#include "colour/rgb.h"

// The window's controls, with texts as CP932 bytes.

/// A single-line text box without a length limit.
class TEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TEdit(QWidget* parent);
    std::string Text() const;
    void SetText(const std::string& text);
};

/// An editable drop-down. Text written by the program is not an edit and emits no Change. With
/// the list open, the arrow, Page Up/Down, Home and End keys select the entry they reach at once;
/// hovering only highlights; Enter or a click closes the list.
class TComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent);
    std::string Text() const;
    void SetText(const std::string& text);
    /// Index of the selected entry, -1 when none is selected (also after the user edited the text).
    int ItemIndex() const;
    int ItemCount() const;
    std::string Item(int index) const;
    void AddItem(const std::string& text);
    /// Removes every entry; the text field keeps its text.
    void ClearItems();

signals:
    /// The user selected an entry or edited the text.
    void Change();
    /// A left double-click in the text field.
    void DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static constexpr int NoListKey = -2;

    void UserSelected(int index);
    /// The entry an arrow or paging key reaches in the open list; -1 when the list is empty,
    /// NoListKey for any other key.
    int ListKeyTarget(const QKeyEvent& event) const;
    void SelectFromOpenList(int index);

    int m_itemIndex = -1;
    bool m_programWrites = false;
    bool m_matchingTypedText = false;
};

/// The swatch: its whole area filled with BrushColor, outlined in black one pixel wide.
class TShape : public QWidget
{
    Q_OBJECT
public:
    explicit TShape(QWidget* parent);
    TColor BrushColor() const { return m_color; }
    void SetBrushColor(TColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor m_color = clWhite;
};

/// A push button: click, Enter or Space while focused.
class TButton : public QPushButton
{
    Q_OBJECT
public:
    explicit TButton(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

/// A flat, raised picture button that never takes the focus.
class TSpeedButton : public QToolButton
{
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent);
};

/// Static text in the window's background colour.
class TLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TLabel(QWidget* parent);
};

/// Gives a control its hint (CP932): shown after the pointer has rested on the control for
/// 500 ms (50 ms when it comes from a control whose hint was showing), hidden after 2500 ms.
void SetHint(QWidget* control, const std::string& hint);

/// A TColor as the colour it names; a system colour (bit 31) is resolved first.
QColor ToQColor(TColor color);
/// The plain colour (a TColor) that a QColor shows, its alpha left out.
TColor FromQColor(const QColor& colour);
