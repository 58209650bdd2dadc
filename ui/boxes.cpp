#include "ui/boxes.h"
#include "ui/boxes_p.h"

#include <array>
#include <memory>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/codepage.h"
#include "ui/text.h"

namespace {

struct ButtonSpec
{
    BoxButton member;
    int result;
    const std::string& (*caption)();
};

const std::string& YesCaption()
{
    static const std::string text = Sjis(u8"はい(&Y)");
    return text;
}

const std::string& NoCaption()
{
    static const std::string text = Sjis(u8"いいえ(&N)");
    return text;
}

const std::string& OkCaption()
{
    static const std::string text = "OK";
    return text;
}

const std::string& CancelCaption()
{
    static const std::string text = Sjis(u8"ｷｬﾝｾﾙ");
    return text;
}

const std::string& WarningCaption()
{
    static const std::string text = Sjis(u8"警告");
    return text;
}

// The buttons in the order they stand in the row, left to right.
constexpr std::array<ButtonSpec, 4> kButtons { {
    { mbYes, idYes, YesCaption },
    { mbNo, idNo, NoCaption },
    { mbOK, idOK, OkCaption },
    { mbCancel, idCancel, CancelCaption },
} };

int EscapeResult(BoxButtons buttons)
{
    if (buttons & mbCancel)
        return idCancel;
    if (buttons & mbNo)
        return idNo;
    return idOK;
}

// The letter after a single "&" in a button caption, upper case; 0 when there is none.
QChar MnemonicOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return caption[i + 1].toUpper();
    }
    return QChar();
}

// A message box of the program's own: icon at the left of the wrapped text, one centred row of
// buttons, fixed size, centred on the screen.
class MessageBox : public QDialog
{
public:
    explicit MessageBox(const BoxRequest& request)
        : QDialog(nullptr,
            Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
        , m_escapeResult(EscapeResult(request.buttons))
    {
        setObjectName(QStringLiteral("MessageBox"));
        setFont(QApplication::font("QMessageBox"));
        setWindowTitle(ToQString(request.caption));

        auto* top = new QHBoxLayout;
        top->setSpacing(12);
        if (request.kind != BoxRequest::Information) {
            const auto pixmap = request.kind == BoxRequest::Warning ? QStyle::SP_MessageBoxWarning
                                                                    : QStyle::SP_MessageBoxCritical;
            const int extent = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
            auto* icon = new QLabel(this);
            icon->setObjectName(QStringLiteral("Icon"));
            icon->setPixmap(style()->standardIcon(pixmap, nullptr, this).pixmap(extent, extent));
            icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
            top->addWidget(icon, 0, Qt::AlignTop);
        }
        top->addWidget(
            MakeTextLabel(request.wide.isNull() ? ToQString(request.text) : request.wide), 1,
            Qt::AlignLeft | Qt::AlignVCenter);

        auto* row = new QHBoxLayout;
        row->setSpacing(6);
        row->addStretch(1);
        // The default button: OK if the set has it, otherwise Yes.
        const int defaultResult = (request.buttons & mbOK) ? idOK : idYes;
        for (const auto& kind : kButtons) {
            if (!(request.buttons & kind.member))
                continue;
            auto* button = new QPushButton(ToQString(kind.caption()), this);
            button->setObjectName(QStringLiteral("Button%1").arg(kind.result));
            button->setMinimumWidth(qMax(button->sizeHint().width(), 75));
            button->setDefault(kind.result == defaultResult);
            const int result = kind.result;
            connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
            row->addWidget(button);
            m_buttons.push_back(button);
        }
        row->addStretch(1);

        auto* layout = new QVBoxLayout(this);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->setContentsMargins(16, 16, 16, 12);
        layout->setSpacing(16);
        layout->addLayout(top);
        layout->addLayout(row);

        if (!m_buttons.empty())
            m_buttons.front()->setFocus(Qt::OtherFocusReason);
    }

    // The close box and the platform's close command give the cancel code whatever the buttons.
    void reject() override { done(idCancel); }

    // Centres the box on the screen's free area, by its outer size.
    void CentreOn(const QScreen* screen)
    {
        adjustSize();
        if (screen == nullptr)
            return;
        const QRect area = screen->availableGeometry();
        PlaceByOuterSize(*this, [area](const QSize& outer) {
            return QPoint(area.x() + (area.width() - outer.width()) / 2,
                area.y() + (area.height() - outer.height()) / 2);
        });
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
        if (event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
            done(m_escapeResult);
            return;
        }
        if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
            && modifiers == Qt::NoModifier) {
            focusNextPrevChild(event->key() == Qt::Key_Down);
            return;
        }
        // A button's accelerator letter presses it also without Alt, as in the platform's boxes
        // (with Alt the button's own shortcut does it).
        if (modifiers == Qt::NoModifier && !event->text().isEmpty()) {
            const QChar letter = event->text().front().toUpper();
            for (QPushButton* button : m_buttons) {
                if (!letter.isNull() && MnemonicOf(button->text()) == letter) {
                    button->click();
                    return;
                }
            }
        }
        QDialog::keyPressEvent(event);
    }

private:
    QLabel* MakeTextLabel(const QString& text)
    {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Text"));
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        // Wrap at word breaks once the text is wider than about five eighths of the screen;
        // the label is given the size the wrapped text needs, so the box fits it exactly.
        const QFontMetrics metrics(font());
        int limit = metrics.averageCharWidth() * 64;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            limit = qMin(limit, screen->availableGeometry().width() * 5 / 8);
        const QRect needed = metrics.boundingRect(
            QRect(0, 0, limit, 0x7fff), Qt::TextWordWrap | Qt::AlignLeft, text);
        label->setFixedSize(needed.width() + 2, qMax(needed.height(), metrics.height()));
        return label;
    }

    int m_escapeResult;
    std::vector<QPushButton*> m_buttons;
};

// Shows the box modally over the whole application; afterwards the window that was active
// before it is made active again.
int RunBox(const BoxRequest& request)
{
    // A box takes the keyboard and the mouse: an open drop-down list closes first, as it does
    // when its control loses the focus (a choice made in it with the keys stays made).
    for (int open = 0; open < 8 && QApplication::activePopupWidget(); ++open)
        QApplication::activePopupWidget()->close();
    if (const auto& hook = BoxAnswerHook())
        return hook(request);

    QPointer<QWidget> previous = QApplication::activeWindow();
    const QScreen* screen = previous ? previous->screen() : QGuiApplication::primaryScreen();
    int result = idCancel;
    {
        MessageBox box(request);
        box.setWindowModality(Qt::ApplicationModal);
        box.CentreOn(screen);
        result = box.exec();
    }
    if (previous)
        previous->activateWindow();
    return result;
}

// The frame the window manager puts round a window of this desktop: the window's own when it is
// known, else that of a shown window of the program (the active one first).
QMargins FrameEstimate(const QWidget& window)
{
    auto frameOf = [](const QWidget* widget) {
        const QWindow* handle = widget ? widget->windowHandle() : nullptr;
        return handle ? handle->frameMargins() : QMargins();
    };
    if (const QMargins own = frameOf(&window); !own.isNull())
        return own;
    if (const QMargins active = frameOf(QApplication::activeWindow()); !active.isNull())
        return active;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible()) {
            if (const QMargins frame = frameOf(other); !frame.isNull())
                return frame;
        }
    }
    return QMargins();
}

constexpr int kFrameWaitStep = 10; // ms between looks at the window's frame once shown
constexpr int kFrameWaitSteps = 50; // a window manager that has not framed it by then never will

} // namespace

void PlaceByOuterSize(QWidget& window, const std::function<QPoint(const QSize& outer)>& rule)
{
    window.winId(); // the window exists, so its own frame can be asked for
    const QMargins estimate = FrameEstimate(window);
    // A top-level widget's position is its frame's top-left corner.
    window.move(rule(window.size().grownBy(estimate)));

    // Once shown and framed, correct the place should this window's frame differ.
    auto* watch = new QTimer(&window);
    watch->setInterval(kFrameWaitStep);
    auto steps = std::make_shared<int>(0);
    QObject::connect(watch, &QTimer::timeout, &window, [&window, watch, rule, estimate, steps] {
        const QMargins frame =
            window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
        if (!window.isVisible() || frame.isNull()) {
            if (++*steps >= kFrameWaitSteps)
                watch->deleteLater();
            return;
        }
        if (frame != estimate)
            window.move(rule(window.size().grownBy(frame)));
        watch->stop();
        watch->deleteLater();
    });
    watch->start();
}

std::string& ApplicationTitle()
{
    static std::string title = "Tintora";
    return title;
}

void ShowInformationBox(const std::string& message)
{
    RunBox({ BoxRequest::Information, ApplicationTitle(), message, {}, mbOK });
}

void ShowUnicodeInformationBox(const QString& message)
{
    RunBox({ BoxRequest::Information, ApplicationTitle(), FromQString(message), message, mbOK });
}

namespace {

int WarningBox(const std::string& cp932, const QString& wide, BoxButtons buttons)
{
    // A box without buttons could only be left through its close box; it gets OK instead.
    if ((buttons & (mbYes | mbNo | mbOK | mbCancel)) == 0)
        buttons = mbOK;
    return RunBox({ BoxRequest::Warning, WarningCaption(), cp932, wide,
        buttons & (mbYes | mbNo | mbOK | mbCancel) });
}

} // namespace

int ShowWarningBox(const std::string& message, BoxButtons buttons)
{
    return WarningBox(message, {}, buttons);
}

void ShowInformationBoxUtf8(const std::string& utf8)
{
    ShowUnicodeInformationBox(QString::fromStdString(utf8));
}

int ShowWarningBoxUtf8(const std::string& utf8, BoxButtons buttons)
{
    return WarningBox(Utf8ToCp932(utf8), QString::fromStdString(utf8), buttons);
}

std::string ExceptionBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > 0x2E)
        return message + ".";
    return message;
}

void ShowExceptionBox(const std::string& message)
{
    // Cancel any mouse operation in progress, so none stays half done behind the box.
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    RunBox({ BoxRequest::Error, ApplicationTitle(), ExceptionBoxText(message), {}, mbOK });
}

std::function<int(const BoxRequest&)>& BoxAnswerHook()
{
    static std::function<int(const BoxRequest&)> hook;
    return hook;
}
