#include "ui/controls.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolTip>

#include "platform/syscolor.h"
#include "ui/text.h"

namespace {

// The edit boxes and the drop-downs' text fields take text of any length (Qt's default limit is
// 32767 characters).
void RemoveLengthLimit(QLineEdit* field)
{
    field->setMaxLength(std::numeric_limits<int>::max());
}

constexpr int HintPause = 500;
constexpr int HintShortPause = 50;
constexpr int HintHidePause = 2500;

// Shows the hints of the window's controls with the timing of the window's own hints, in place
// of Qt's tool-tip timing (700 ms, 20 ms, ten seconds).
class HintTimer : public QObject
{
public:
    static HintTimer& Instance()
    {
        static QPointer<HintTimer> instance;
        if (!instance) {
            instance = new HintTimer(QCoreApplication::instance());
        }
        return *instance;
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* control = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::ToolTip:
            return true; // shown by the timer below, never by Qt's own
        case QEvent::Enter: {
            // Moving on from a control whose hint is showing brings the next hint almost at once.
            const bool moving = m_leftShowing.isValid() && m_leftShowing.elapsed() < HintPause;
            m_leftShowing.invalidate();
            m_target = control;
            m_wake.start(moving ? HintShortPause : HintPause);
            break;
        }
        case QEvent::Leave:
            m_wake.stop();
            if (m_showing == control && QToolTip::isVisible()) {
                QToolTip::hideText();
                m_leftShowing.start();
            }
            m_showing = nullptr;
            m_target = nullptr;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::Wheel:
            m_wake.stop();
            if (m_showing == control) {
                QToolTip::hideText();
            }
            m_showing = nullptr;
            break;
        default:
            break;
        }
        return false;
    }

private:
    explicit HintTimer(QObject* parent)
        : QObject(parent)
    {
        m_wake.setSingleShot(true);
        connect(&m_wake, &QTimer::timeout, this, [this] { Show(); });
    }

    void Show()
    {
        if (!m_target || !m_target->isVisible() || m_target->toolTip().isEmpty()) {
            return;
        }
        QToolTip::showText(QCursor::pos(), m_target->toolTip(), m_target, QRect(), HintHidePause);
        m_showing = m_target;
    }

    QTimer m_wake;
    QPointer<QWidget> m_target;
    QPointer<QWidget> m_showing;
    QElapsedTimer m_leftShowing;
};

} // namespace

QColor ToQColor(TColor color)
{
    std::uint32_t value = static_cast<std::uint32_t>(color);
    if (value & 0x80000000u) {
        value = GetSysColor(static_cast<int>(value & 0xFFu));
    }
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
        static_cast<int>((value >> 16) & 0xFFu));
}

TColor FromQColor(const QColor& colour)
{
    return ColorOf({ colour.red(), colour.green(), colour.blue() });
}

void SetHint(QWidget* control, const std::string& hint)
{
    control->setToolTip(ToQString(hint));
    control->setToolTipDuration(HintHidePause);
    control->installEventFilter(&HintTimer::Instance());
}

// --- TEdit

TEdit::TEdit(QWidget* parent)
    : QLineEdit(parent)
{
    RemoveLengthLimit(this);
}

std::string TEdit::Text() const
{
    return FromQString(text());
}

void TEdit::SetText(const std::string& text)
{
    setText(ToQString(text));
}

// --- TComboBox

TComboBox::TComboBox(QWidget* parent)
    : QComboBox(parent)
{
    // When the text field's editing finishes (focus leaving), Qt looks the typed text up among
    // the entries and makes a match its current entry. That is Qt's bookkeeping, not a choice of
    // the user: only a choice in the list selects an entry here. Qt attaches its handling when
    // the field is set, and slots run in the order they were connected, so the two connections
    // around it mark the span in which Qt's index changes are its own.
    auto* field = new QLineEdit(this);
    connect(field, &QLineEdit::editingFinished, this, [this] { m_matchingTypedText = true; });
    setLineEdit(field);
    connect(field, &QLineEdit::editingFinished, this, [this] { m_matchingTypedText = false; });
    RemoveLengthLimit(field);
    // Enter in the text field neither inserts an entry nor completes one from the list.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(8);
    field->installEventFilter(this);
    // The open list: its arrow and paging keys select the entry they reach (see eventFilter).
    view()->installEventFilter(this);

    connect(field, &QLineEdit::textEdited, this, [this] {
        m_itemIndex = -1;
        emit Change();
    });
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_programWrites && !m_matchingTypedText) {
            UserSelected(index);
        }
    });
    // activated also covers choosing the entry Qt still holds as current after the user typed.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_matchingTypedText) {
            UserSelected(index);
        }
    });
}

void TComboBox::UserSelected(int index)
{
    if (index < 0 || index == m_itemIndex) {
        return;
    }
    m_itemIndex = index;
    emit Change();
}

std::string TComboBox::Text() const
{
    return FromQString(currentText());
}

void TComboBox::SetText(const std::string& text)
{
    const QScopedValueRollback guard(m_programWrites, true);
    setCurrentIndex(-1);
    setEditText(ToQString(text));
    m_itemIndex = -1;
}

int TComboBox::ItemIndex() const
{
    return m_itemIndex;
}

int TComboBox::ItemCount() const
{
    return count();
}

std::string TComboBox::Item(int index) const
{
    return FromQString(itemText(index));
}

void TComboBox::AddItem(const std::string& text)
{
    const QScopedValueRollback guard(m_programWrites, true);
    const QString shown = currentText();
    const int current = currentIndex();
    addItem(ToQString(text));
    // Qt selects the first entry added to an empty list; the text field stays as it was.
    if (currentIndex() != current) {
        setCurrentIndex(current);
    }
    if (currentText() != shown) {
        setEditText(shown);
    }
}

void TComboBox::ClearItems()
{
    const QScopedValueRollback guard(m_programWrites, true);
    const QString shown = currentText();
    clear();
    setEditText(shown);
    m_itemIndex = -1;
}

bool TComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit()) {
        if (event->type() == QEvent::MouseButtonDblClick
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            emit DblClick();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                return true; // Enter presses nothing here and never adds an entry
            }
        }
    } else if (watched == view() && event->type() == QEvent::KeyPress) {
        const int target = ListKeyTarget(*static_cast<QKeyEvent*>(event));
        if (target != NoListKey) {
            if (target >= 0) {
                SelectFromOpenList(target);
            }
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

int TComboBox::ListKeyTarget(const QKeyEvent& event) const
{
    // With Alt, Up and Down close the list (Qt's own handling); other modifiers are not ours.
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return NoListKey;
    }
    const int last = count() - 1;
    // The highlighted entry; the list's cursor without a highlight (where Qt puts it when the
    // list opens with nothing selected) is no starting point.
    const QModelIndex current = view()->currentIndex();
    const int row =
        current.isValid() && view()->selectionModel()->isSelected(current) ? current.row() : -1;
    // A page is what the list shows at a time, less the entry the step starts from.
    const int page = std::max(1, std::min(maxVisibleItems(), count()) - 1);
    int target = 0;
    switch (event.key()) {
    case Qt::Key_Up:
        target = row - 1;
        break;
    case Qt::Key_Down:
        target = row + 1;
        break;
    case Qt::Key_PageUp:
        target = row - page;
        break;
    case Qt::Key_PageDown:
        target = row < 0 ? page - 1 : row + page;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = last;
        break;
    default:
        return NoListKey;
    }
    if (last < 0) {
        return -1; // nothing to select; the key is used up all the same
    }
    return std::clamp(target, 0, last);
}

void TComboBox::SelectFromOpenList(int index)
{
    view()->setCurrentIndex(model()->index(index, modelColumn(), rootModelIndex()));
    {
        // The text field shows the entry first, then the choice is reported, as for a choice
        // made with the list closed.
        const QScopedValueRollback guard(m_programWrites, true);
        setCurrentIndex(index);
        setEditText(itemText(index));
    }
    UserSelected(index);
}

void TComboBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !view()->isVisible()) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

// --- TShape

TShape::TShape(QWidget* parent)
    : QWidget(parent)
{
}

void TShape::SetBrushColor(TColor color)
{
    m_color = color;
    update();
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(m_color));
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

// --- TButton

TButton::TButton(QWidget* parent)
    : QPushButton(parent)
{
    setAutoDefault(false);
    setDefault(false);
}

void TButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat()) {
            click();
        }
        return;
    }
    QPushButton::keyPressEvent(event);
}

// --- TSpeedButton

TSpeedButton::TSpeedButton(QWidget* parent)
    : QToolButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(16, 16));
}

// --- TLabel

TLabel::TLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::NoFocus);
}
