// Damaged and hostile settings files on the real window: garbage, huge files and lines, NUL bytes,
// broken CP932, a byte-order mark, mixed line ends, repeated sections, absurd counts, keys out of
// order, and paths that are no readable file at all. The window opens, lists what the file holds,
// shows a listed colour, and leaves the file exactly as it was; a registration then either keeps
// every listed colour and adds the new one, or is refused with the write error box.

#include <chrono>
#include <random>

#include <sys/stat.h>

#include "platform/codepage.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/window_on_file.h"

namespace {

using namespace std::string_literals;

enum class Kind { File, Directory, Unreadable, Fifo };

QByteArray Bytes(const std::string& text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

QStringList Names(const QByteArrayList& cp932)
{
    QStringList names;
    for (const QByteArray& name : cp932)
        names << ToQString(name.toStdString());
    return names;
}

// What the path holds, to compare before and after: its type, mode and bytes.
std::string Snapshot(const std::string& path)
{
    struct stat st = {};
    if (::lstat(path.c_str(), &st) != 0)
        return "missing";
    std::string shot = std::to_string(st.st_mode);
    if (S_ISREG(st.st_mode)) {
        ::chmod(path.c_str(), 0600);
        shot += ReadBytes(path);
        ::chmod(path.c_str(), st.st_mode & 07777);
    }
    return shot;
}

const std::string Three = "[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000orange\r\n2=87CEEBsky\r\n"
                          "3=336699sea\r\n";

QByteArray Garbage()
{
    std::mt19937 random(7);
    std::string bytes(64 * 1024, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    bytes[0] = 'G'; // not a UTF-16 mark
    return Bytes(bytes);
}

// 50 MB of other sections' keys with the user colours at the very end.
QByteArray Huge()
{
    std::string bytes = "[Other]\r\n";
    bytes.reserve(50 * 1024 * 1024 + 200);
    for (int i = 0; bytes.size() < 50u * 1024 * 1024; ++i) {
        bytes += "key" + std::to_string(i) + "=some value of a setting, ";
        bytes += std::to_string(i * 7919LL) + "\r\n";
        if (i % 100000 == 0)
            bytes += "[Section" + std::to_string(i) + "]\r\n";
    }
    return Bytes(bytes + Three);
}

} // namespace

class TstHostileFiles : public QObject
{
    Q_OBJECT

private slots:
    void opensAndKeepsTheFile_data();
    void opensAndKeepsTheFile();
};

void TstHostileFiles::opensAndKeepsTheFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArrayList>("items"); // CP932
    QTest::addColumn<QByteArray>("box"); // the notice shown at start, if any
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QByteArrayList>("itemsAfterRegister");

    const auto file = int(Kind::File);
    const QByteArrayList three { "orange", "sky", "sea" };
    const QByteArray none;
    const QByteArray damaged2 =
        Bytes(Sjis(u8"設定ファイルの色の数（Usercolcnt=2147483647）が多すぎるため、"
                   u8"実際に保存されている2色を読み込みました。このまま使えます。"));
    const auto twoAndMore = [](const char* count) {
        return "[Usercolor]\r\nUsercolcnt=" + QByteArray(count)
            + "\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n[Other]\r\nk=v\r\n";
    };

    QTest::newRow("binary garbage")
        << Garbage() << file << QByteArrayList {} << none << true << QByteArrayList { "new" };
    QTest::newRow("50 MB") << Huge() << file << three << none << true
                           << three + QByteArrayList { "new" };
    QTest::newRow("10 MB line") << Bytes("[Usercolor]\r\nUsercolcnt=2\r\n1=FF8000"
        + std::string(10 * 1024 * 1024, 'x') + "\r\n2=87CEEBsky\r\n")
                                << file << QByteArrayList { Bytes(std::string(1017, 'x')), "sky" }
                                << none << true
                                << QByteArrayList { Bytes(std::string(1017, 'x')), "sky", "new" };
    QTest::newRow("NUL bytes") << Bytes(
        "\0[x]\r\n[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000or\0ange\r\n2=\0"
        "87CEEBsky\r\n\0\0\r\n3=336699sea\r\n\0"s)
                               << file << QByteArrayList { "or", "", "sea" } << none << true
                               << QByteArrayList { "or", "", "sea", "new" };
    QTest::newRow("invalid CP932")
        << QByteArray("[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000\x81\r\n2=87CEEB\xFF\xFE\xFD\r\n"
                      "3=336699\xA0\x85\x40\x82\r\n")
        << file << QByteArrayList { "\x81", "\xFF\xFE\xFD", "\xA0\x85\x40\x82" } << none << true
        << QByteArrayList { "\x81", "\xFF\xFE\xFD", "\xA0\x85\x40\x82", "new" };
    // The mark's bytes are text of line 1, so the header there is not seen; a later one is.
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBF[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n") << file
        << QByteArrayList {} << none << true << QByteArrayList { "new" };
    QTest::newRow("UTF-8 byte-order mark, comment first")
        << QByteArray("\xEF\xBB\xBF;colours\r\n" + QByteArray::fromStdString(Three)) << file
        << three << none << true << three + QByteArrayList { "new" };
    QTest::newRow("CR LF, LF and CR mixed")
        << QByteArray("[Usercolor]\rUsercolcnt=3\n1=AAAAAAa\r\n2=BBBBBBb\n\r3=CCCCCCc") << file
        << QByteArrayList { "a", "b", "c" } << none << true
        << QByteArrayList { "a", "b", "c", "new" };
    QTest::newRow("duplicate sections")
        << QByteArray("[Usercolor]\r\nUsercolcnt=1\r\n1=AAAAAAa\r\n[USERCOLOR]\r\nUsercolcnt=2\r\n"
                      "2=BBBBBBb\r\n[Usercolor]\r\nUsercolcnt=9\r\n")
        << file << QByteArrayList { "a" } << none << true << QByteArrayList { "a", "new" };
    QTest::newRow("count 2147483647")
        << twoAndMore("2147483647") << file << QByteArrayList { "a", "b" } << damaged2 << true
        << QByteArrayList { "a", "b", "new" };
    QTest::newRow("count 0x7FFFFFFF")
        << twoAndMore("0x7FFFFFFF") << file << QByteArrayList { "a", "b" } << damaged2 << true
        << QByteArrayList { "a", "b", "new" };
    // Not an integer: no colours; the registration is the first, under key 1.
    QTest::newRow("count -2147483648") << twoAndMore("-2147483648") << file << QByteArrayList {}
                                       << none << true << QByteArrayList { "new" };
    // -1: no colours, and the registration goes under key 0, which no load reads.
    QTest::newRow("count $FFFFFFFF") << twoAndMore("$FFFFFFFF") << file << QByteArrayList {} << none
                                     << true << QByteArrayList {};
    // Just below the largest count taken as stored: that many (empty) entries are listed.
    QTest::newRow("count 99999, no entries")
        << QByteArray("[Usercolor]\r\nUsercolcnt=99999\r\n") << file
        << QByteArrayList(99999, QByteArray()) << none << true
        << QByteArrayList(99999, QByteArray()) + QByteArrayList { "new" };
    QTest::newRow("keys out of order")
        << QByteArray("[Usercolor]\r\n3=CCCCCCc\r\n1=AAAAAAa\r\nUsercolcnt=3\r\n2=BBBBBBb\r\n")
        << file << QByteArrayList { "a", "b", "c" } << none << true
        << QByteArrayList { "a", "b", "c", "new" };
    // Saved as "Unicode" by an editor: read in CP932, written in UTF-16LE; after an odd last byte
    // no UTF-16LE text can follow, so that file is only read.
    const QByteArray sky = Bytes(Sjis(u8"空色"));
    const std::string utf16 = "\xFF\xFE"
        + Cp932ToUtf16Le("[Usercolor]\r\nUsercolcnt=2\r\n1=FF8000orange\r\n2=87CEEB"
            + sky.toStdString() + "\r\n");
    QTest::newRow("UTF-16LE") << Bytes(utf16) << file << QByteArrayList { "orange", sky } << none
                              << true << QByteArrayList { "orange", sky, "new" };
    QTest::newRow("UTF-16LE, odd last byte")
        << Bytes(utf16 + "\n") << file << QByteArrayList { "orange", sky } << none << false
        << QByteArrayList {};
    QTest::newRow("a directory") << QByteArray() << int(Kind::Directory) << QByteArrayList {}
                                 << none << false << QByteArrayList {};
    QTest::newRow("unreadable") << Bytes(Three) << int(Kind::Unreadable) << QByteArrayList {}
                                << none << false << QByteArrayList {};
    QTest::newRow("a named pipe") << QByteArray() << int(Kind::Fifo) << QByteArrayList {} << none
                                  << false << QByteArrayList {};
}

void TstHostileFiles::opensAndKeepsTheFile()
{
    QFETCH(QByteArray, file);
    QFETCH(int, kind);
    QFETCH(QByteArrayList, items);
    QFETCH(QByteArray, box);
    QFETCH(bool, writable);
    QFETCH(QByteArrayList, itemsAfterRegister);

    WindowOnFile window;
    const std::string& path = window.Path();
    switch (Kind(kind)) {
    case Kind::File:
    case Kind::Unreadable:
        std::ofstream(path, std::ios::binary).write(file.constData(), file.size());
        if (Kind(kind) == Kind::Unreadable)
            QCOMPARE(::chmod(path.c_str(), 0), 0);
        break;
    case Kind::Directory:
        QVERIFY(std::filesystem::create_directory(path));
        break;
    case Kind::Fifo:
        QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
        break;
    }
    const std::string before = Snapshot(path);

    const auto start = std::chrono::steady_clock::now();
    window.Open();
    const auto opened = std::chrono::steady_clock::now() - start;
    qInfo("opened in %lld ms",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(opened).count()));
    QCOMPARE(window.Items(), Names(items));
    QCOMPARE(window.Boxes().size(), std::size_t(box.isEmpty() ? 0 : 1));
    if (!box.isEmpty())
        QCOMPARE(Bytes(window.Boxes()[0].text), box);

    // Showing a listed colour reads nothing from the file.
    if (!items.isEmpty()) {
        window.Select(0);
        QTest::mouseDClick(window.Form().ComboBox2->lineEdit(), Qt::LeftButton);
    }
    QCOMPARE(Snapshot(path), before);

    window.Boxes().clear();
    window.Register("123456", "new");
    if (!writable) {
        QCOMPARE(window.Boxes().size(), std::size_t(1));
        QCOMPARE(window.Boxes()[0].kind, BoxRequest::Error);
        QCOMPARE(window.Boxes()[0].text, window.WriteErrorText());
        QCOMPARE(Snapshot(path), before);
        return;
    }
    QCOMPARE(window.Boxes().size(), std::size_t(0));
    window.Close();
    window.Open();
    QCOMPARE(window.Items(), Names(itemsAfterRegister));
}

int main(int argc, char* argv[])
{
    RunAsOrdinaryUser();
    QApplication application(argc, argv);
    TstHostileFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostilefiles.moc"
