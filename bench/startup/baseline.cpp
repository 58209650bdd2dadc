// The floor for the start-up benchmark: a bare Qt Widgets window of the program's size with the
// same kinds of controls (labels, line edits, editable drop-downs, push buttons, picture tool
// buttons) and Japanese captions in the same font, and nothing else.

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace {

template <typename W> W* Place(QWidget* parent, int left, int top, int width, int height)
{
    auto* widget = new W(parent);
    widget->setGeometry(left, top, width, height);
    return widget;
}

QFont Face(int pixels, bool bold)
{
    const QString face = QString::fromUtf8(u8"ＭＳ Ｐゴシック");
    // The face is not installed on Linux: the same Japanese proportional gothic stands in.
    QFont::insertSubstitutions(face,
        { QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic") });
    QFont font(face);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Baseline Ver 1.1"));
    window.setFont(Face(12, false));
    window.move(197, 107);
    window.resize(303, 195);

    auto* hex = Place<QLabel>(&window, 80, 40, 31, 15);
    hex->setText(QStringLiteral("HEX"));
    hex->setFont(Face(15, true));
    auto* rgb = Place<QLabel>(&window, 80, 68, 106, 15);
    rgb->setText(QString::fromUtf8(u8"　Ｒ　 　Ｇ　 　Ｂ"));
    rgb->setFont(Face(15, true));

    QPixmap picture(16, 16);
    picture.fill(Qt::darkYellow);
    for (int i = 0; i < 4; ++i) {
        auto* tool = Place<QToolButton>(&window, 8 + 32 * i, 4, 25, 25);
        tool->setIcon(picture);
        tool->setAutoRaise(true);
        tool->setFocusPolicy(Qt::NoFocus);
    }

    const struct {
        const char8_t* caption;
        int left, top, width;
    } buttons[] = {
        { u8"色->RGB値", 208, 40, 89 },
        { u8"RGB値->色", 208, 88, 89 },
        { u8"クリア", 224, 128, 57 },
        { u8"登録", 224, 160, 57 },
        { u8"削除", 168, 160, 41 },
    };
    for (const auto& b : buttons)
        Place<QPushButton>(&window, b.left, b.top, b.width, 25)
            ->setText(QString::fromUtf8(b.caption));

    const int edits[][3] = { { 120, 40, 73 }, { 80, 88, 35 }, { 120, 88, 35 }, { 160, 88, 35 } };
    for (const auto& e : edits)
        Place<QLineEdit>(&window, e[0], e[1], e[2], 23)->setFont(Face(15, false));

    const char* combos[] = { "Color Name", "User Color" };
    for (int i = 0; i < 2; ++i) {
        auto* combo = Place<QComboBox>(&window, 8, 128 + 32 * i, 145, 23);
        combo->setEditable(true);
        combo->setFont(Face(15, false));
        combo->setEditText(QString::fromLatin1(combos[i]));
    }

    window.show();
    return app.exec();
}
