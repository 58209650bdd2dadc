#include <functional>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include "platform/codepage.h"
#include "ui/boxes_p.h"

namespace {

// Runs action on the modal box once the box's own event loop is running. Should the action leave
// the box open (a failed check), the box is closed so that the test does not hang.
void WhenBoxOpens(std::function<void(QDialog*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QPointer<QDialog> box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box || QApplication::activeWindow() != box)
            return;
        timer->stop();
        timer->deleteLater();
        action(box);
        if (box && box->isVisible())
            box->close();
    });
    timer->start();
}

// The box's buttons as they stand, left to right.
std::vector<QPushButton*> ButtonsInRow(QDialog* box)
{
    auto buttons = box->findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(),
        [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    return { buttons.begin(), buttons.end() };
}

QStringList Texts(const std::vector<QPushButton*>& buttons)
{
    QStringList texts;
    for (auto* button : buttons)
        texts << button->text();
    return texts;
}

QImage IconImage(QDialog* box)
{
    auto* icon = box->findChild<QLabel*>(QStringLiteral("Icon"));
    return icon ? icon->pixmap().toImage() : QImage();
}

QImage StandardIcon(QDialog* box, QStyle::StandardPixmap which)
{
    const int extent = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box);
    return box->style()->standardIcon(which, nullptr, box).pixmap(extent, extent).toImage();
}

QString ShownText(QDialog* box)
{
    auto* label = box->findChild<QLabel*>(QStringLiteral("Text"));
    return label ? label->text() : QString();
}

enum class Answer {
    Enter,
    Space,
    Escape,
    CloseBox,
    TabEnter,
    TabTabTabEnter,
    RightRightEnter,
    LeftEnter,
    DownEnter,
    LetterY,
    LetterN,
    AltN,
};

void Give(QDialog* box, Answer answer)
{
    auto key = [box](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = box->focusWidget() ? box->focusWidget() : box;
        QTest::keyClick(target, key, modifiers);
    };
    switch (answer) {
    case Answer::Enter:
        key(Qt::Key_Return);
        break;
    case Answer::Space:
        key(Qt::Key_Space);
        break;
    case Answer::Escape:
        key(Qt::Key_Escape);
        break;
    case Answer::CloseBox:
        box->close();
        break;
    case Answer::TabEnter:
        key(Qt::Key_Tab);
        key(Qt::Key_Return);
        break;
    case Answer::TabTabTabEnter:
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        key(Qt::Key_Tab);
        key(Qt::Key_Return);
        break;
    case Answer::RightRightEnter:
        key(Qt::Key_Right);
        key(Qt::Key_Right);
        key(Qt::Key_Return);
        break;
    case Answer::LeftEnter:
        key(Qt::Key_Left);
        key(Qt::Key_Return);
        break;
    case Answer::DownEnter:
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        break;
    case Answer::LetterY:
        key(Qt::Key_Y);
        break;
    case Answer::LetterN:
        key(Qt::Key_N);
        break;
    case Answer::AltN:
        // The accelerator's shortcut presses its button with a short animation.
        key(Qt::Key_N, Qt::AltModifier);
        QTRY_VERIFY(!box->isVisible());
        break;
    }
}

const BoxButtons kYesNoCancel = mbYes | mbNo | mbCancel;

} // namespace

Q_DECLARE_METATYPE(Answer)

class TestBoxes : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void warningBoxLooks_data();
    void warningBoxLooks();
    void warningBoxAnswers_data();
    void warningBoxAnswers();
    void informationBox_data();
    void informationBox();
    void informationBoxShowsCharactersTheCodePageLacks();
    void longTextWraps();
    void exceptionBoxText_data();
    void exceptionBoxText();
    void exceptionBox();
    void answerHookAnswersEveryBox();
    void boxIsModalAndGivesBackActivation();
};

void TestBoxes::cleanup()
{
    BoxAnswerHook() = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
}

void TestBoxes::warningBoxLooks_data()
{
    QTest::addColumn<unsigned>("buttons");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("OK") << unsigned(mbOK) << QStringList { QStringLiteral("OK") };
    QTest::newRow("Yes No Cancel") << unsigned(kYesNoCancel)
                                   << QStringList { QStringLiteral("はい(&Y)"),
                                          QStringLiteral("いいえ(&N)"), QStringLiteral("ｷｬﾝｾﾙ") };
    QTest::newRow("all four") << unsigned(mbCancel | mbOK | mbNo | mbYes)
                              << QStringList { QStringLiteral("はい(&Y)"),
                                     QStringLiteral("いいえ(&N)"), QStringLiteral("OK"),
                                     QStringLiteral("ｷｬﾝｾﾙ") };
}

void TestBoxes::warningBoxLooks()
{
    QFETCH(unsigned, buttons);
    QFETCH(QStringList, captions);

    bool checked = false;
    WhenBoxOpens([&](QDialog* box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("警告"));
        QCOMPARE(ShownText(box), QStringLiteral("消しますか? <b>a&b</b>"));
        QVERIFY(!IconImage(box).isNull());
        QCOMPARE(IconImage(box), StandardIcon(box, QStyle::SP_MessageBoxWarning));

        const auto row = ButtonsInRow(box);
        QCOMPARE(Texts(row), captions);
        for (auto* button : row)
            QCOMPARE(button->y(), row.front()->y());
        // Focus on the leftmost button, which shows the default border; Enter presses it.
        QCOMPARE(box->focusWidget(), row.front());
        for (auto* button : row)
            QCOMPARE(button->isDefault(), button == row.front());

        // The row is centred under the text.
        const int left = row.front()->geometry().left();
        const int right = box->width() - 1 - row.back()->geometry().right();
        QVERIFY2(qAbs(left - right) <= 1, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));

        // Fixed border without minimise or maximise, the message-box font, centred on screen.
        QCOMPARE(box->minimumSize(), box->maximumSize());
        QVERIFY(
            !(box->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(box->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(box->font(), QApplication::font("QMessageBox"));
        const QRect screen = box->screen()->availableGeometry();
        QVERIFY(qAbs(box->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(box->frameGeometry().center().y() - screen.center().y()) <= 1);
        checked = true;
    });
    ShowWarningBox(Sjis(u8"消しますか? <b>a&b</b>"), buttons);
    QVERIFY(checked);
}

void TestBoxes::warningBoxAnswers_data()
{
    QTest::addColumn<unsigned>("buttons");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<int>("expected");

    QTest::newRow("YNC Enter at once") << unsigned(kYesNoCancel) << Answer::Enter << 6;
    QTest::newRow("YNC Space at once") << unsigned(kYesNoCancel) << Answer::Space << 6;
    QTest::newRow("YNC Esc") << unsigned(kYesNoCancel) << Answer::Escape << 2;
    QTest::newRow("YNC close box") << unsigned(kYesNoCancel) << Answer::CloseBox << 2;
    QTest::newRow("YNC Tab, Enter") << unsigned(kYesNoCancel) << Answer::TabEnter << 7;
    QTest::newRow("YNC Tab wraps around") << unsigned(kYesNoCancel) << Answer::TabTabTabEnter << 6;
    QTest::newRow("YNC Right Right") << unsigned(kYesNoCancel) << Answer::RightRightEnter << 2;
    QTest::newRow("YNC Left wraps") << unsigned(kYesNoCancel) << Answer::LeftEnter << 2;
    QTest::newRow("YNC Down") << unsigned(kYesNoCancel) << Answer::DownEnter << 7;
    QTest::newRow("YNC letter Y") << unsigned(kYesNoCancel) << Answer::LetterY << 6;
    QTest::newRow("YNC letter N") << unsigned(kYesNoCancel) << Answer::LetterN << 7;
    QTest::newRow("YNC Alt+N") << unsigned(kYesNoCancel) << Answer::AltN << 7;
    QTest::newRow("OK Enter") << unsigned(mbOK) << Answer::Enter << 1;
    QTest::newRow("OK Esc") << unsigned(mbOK) << Answer::Escape << 1;
    QTest::newRow("OK close box") << unsigned(mbOK) << Answer::CloseBox << 2;
    QTest::newRow("Yes No Esc gives No") << unsigned(mbYes | mbNo) << Answer::Escape << 7;
    QTest::newRow("Yes No close box") << unsigned(mbYes | mbNo) << Answer::CloseBox << 2;
}

void TestBoxes::warningBoxAnswers()
{
    QFETCH(unsigned, buttons);
    QFETCH(Answer, answer);
    QFETCH(int, expected);

    WhenBoxOpens([answer](QDialog* box) { Give(box, answer); });
    QCOMPARE(ShowWarningBox("?", buttons), expected);
}

void TestBoxes::informationBox_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("Enter") << Answer::Enter;
    QTest::newRow("Esc") << Answer::Escape;
    QTest::newRow("close box") << Answer::CloseBox;
}

void TestBoxes::informationBox()
{
    QFETCH(Answer, answer);

    bool closed = false;
    WhenBoxOpens([&](QDialog* box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Tintora"));
        QCOMPARE(ShownText(box), QStringLiteral("何かコードいれてね"));
        QVERIFY(box->findChild<QLabel*>(QStringLiteral("Icon")) == nullptr);
        QCOMPARE(Texts(ButtonsInRow(box)), QStringList { QStringLiteral("OK") });
        QVERIFY(ButtonsInRow(box).front()->isDefault());
        Give(box, answer);
        closed = !box->isVisible();
    });
    ShowInformationBox(Sjis(u8"何かコードいれてね"));
    QVERIFY(closed);
}

// A text quoting the user's own characters shows them as typed, and the stand-in that answers
// boxes gets both that text and its CP932 rendering.
void TestBoxes::informationBoxShowsCharactersTheCodePageLacks()
{
    const QString text = QString::fromUtf8(u8"名前に使えない文字（é、\U0001F3A8）");
    WhenBoxOpens([&](QDialog* box) {
        QCOMPARE(ShownText(box), text);
        QVERIFY(box->findChild<QLabel*>(QStringLiteral("Icon")) == nullptr);
        Give(box, Answer::Enter);
    });
    ShowUnicodeInformationBox(text);

    std::vector<BoxRequest> seen;
    BoxAnswerHook() = [&](const BoxRequest& request) {
        seen.push_back(request);
        return idOK;
    };
    ShowUnicodeInformationBox(text);
    QCOMPARE(seen.size(), std::size_t(1));
    QCOMPARE(seen[0].kind, BoxRequest::Information);
    QCOMPARE(seen[0].wide, text);
    QCOMPARE(QByteArray::fromStdString(seen[0].text),
        QByteArray::fromStdString(Sjis(u8"名前に使えない文字（?、?）")));
}

void TestBoxes::longTextWraps()
{
    const QString text = QStringLiteral("fnVer11Mode以外の値にすると、TIniBrelのVer1.0とVer1."
                                        "1で書き込んだﾌｧｲﾙを正しく読めない事があります。");
    WhenBoxOpens([&](QDialog* box) {
        auto* label = box->findChild<QLabel*>(QStringLiteral("Text"));
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        const QFontMetrics metrics(label->font());
        QVERIFY(label->height() >= 2 * metrics.lineSpacing() - metrics.leading());
        QVERIFY(label->width() < metrics.horizontalAdvance(text));
        QVERIFY(box->frameGeometry().width() <= box->screen()->availableGeometry().width());
        Give(box, Answer::Enter);
    });
    QCOMPARE(ShowWarningBox(Sjis(text.toStdString()), mbOK), 1);
}

void TestBoxes::exceptionBoxText_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("shown");

    auto sjis = [](const char8_t* utf8) { return QByteArray::fromStdString(Sjis(utf8)); };
    QTest::newRow("ends in ん") << sjis(u8"'$G1' は整数ではありません")
                                << sjis(u8"'$G1' は整数ではありません.");
    QTest::newRow("ends in )") << sjis(u8"ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (-1)")
                               << sjis(u8"ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (-1)");
    QTest::newRow("ends in .") << QByteArray("done.") << QByteArray("done.");
    QTest::newRow("ends in -") << QByteArray("a-") << QByteArray("a-");
    QTest::newRow("ends in a space") << QByteArray("a ") << QByteArray("a ");
    QTest::newRow("ends in /, just above .") << QByteArray("a/") << QByteArray("a/.");
    QTest::newRow("ends in a digit") << QByteArray("0") << QByteArray("0.");
    QTest::newRow("halfwidth katakana") << sjis(u8"ｴﾗｰ") << sjis(u8"ｴﾗｰ.");
    QTest::newRow("empty stays empty") << QByteArray() << QByteArray();
}

void TestBoxes::exceptionBoxText()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, shown);
    QCOMPARE(QByteArray::fromStdString(ExceptionBoxText(message.toStdString())), shown);
}

void TestBoxes::exceptionBox()
{
    QWidget holder;
    holder.setObjectName(QStringLiteral("holder"));
    holder.show();
    holder.grabMouse();
    QCOMPARE(QWidget::mouseGrabber(), &holder);

    bool checked = false;
    WhenBoxOpens([&](QDialog* box) {
        QVERIFY(QWidget::mouseGrabber() == nullptr);
        QCOMPARE(box->windowTitle(), QStringLiteral("Tintora"));
        QCOMPARE(ShownText(box), QStringLiteral("'$G1' は整数ではありません."));
        QCOMPARE(IconImage(box), StandardIcon(box, QStyle::SP_MessageBoxCritical));
        QCOMPARE(Texts(ButtonsInRow(box)), QStringList { QStringLiteral("OK") });
        Give(box, Answer::Enter);
        checked = !box->isVisible();
    });
    ShowExceptionBox(Sjis(u8"'$G1' は整数ではありません"));
    QVERIFY(checked);
    holder.hide();
}

void TestBoxes::answerHookAnswersEveryBox()
{
    std::vector<BoxRequest> asked;
    BoxAnswerHook() = [&asked](const BoxRequest& request) {
        asked.push_back(request);
        return idNo;
    };

    QCOMPARE(ShowWarningBox(Sjis(u8"消す?"), kYesNoCancel), idNo);
    ShowInformationBox("info");
    ShowExceptionBox("boom");

    QCOMPARE(asked.size(), std::size_t(3));
    QCOMPARE(asked[0].kind, BoxRequest::Warning);
    QCOMPARE(asked[0].caption, Sjis(u8"警告"));
    QCOMPARE(asked[0].text, Sjis(u8"消す?"));
    QCOMPARE(asked[0].buttons, kYesNoCancel);
    QCOMPARE(asked[1].kind, BoxRequest::Information);
    QCOMPARE(asked[1].caption, std::string("Tintora"));
    QCOMPARE(asked[1].text, std::string("info"));
    QCOMPARE(asked[1].buttons, BoxButtons(mbOK));
    QCOMPARE(asked[2].kind, BoxRequest::Error);
    QCOMPARE(asked[2].caption, std::string("Tintora"));
    QCOMPARE(asked[2].text, std::string("boom."));
    QCOMPARE(asked[2].buttons, BoxButtons(mbOK));
}

void TestBoxes::boxIsModalAndGivesBackActivation()
{
    QWidget window;
    window.setObjectName(QStringLiteral("window"));
    auto* button = new QPushButton(QStringLiteral("press"), &window);
    button->setGeometry(10, 10, 80, 30);
    int pressed = 0;
    connect(button, &QPushButton::clicked, [&pressed] { ++pressed; });
    window.resize(200, 100);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    const QPoint centre = button->geometry().center();
    WhenBoxOpens([&](QDialog* box) {
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, centre);
        QCOMPARE(pressed, 0);
        Give(box, Answer::Enter);
    });
    QCOMPARE(ShowWarningBox("?", kYesNoCancel), idYes);

    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, centre);
    QCOMPARE(pressed, 1);
    window.hide();
}

QTEST_MAIN(TestBoxes)
#include "tst_boxes.moc"
