// Writes that the file system refuses, through the real window's register and delete commands: a
// read-only directory, a write-protected settings file, a file size limit and a full file system.
// Each command shows the write error box naming the settings file and loses nothing: the file
// keeps its bytes, the drop-down and the list stay, and no temporary file is left. Once the fault
// is gone, the same command works.

#include <algorithm>
#include <csignal>
#include <utility>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/ordinary_user.h"
#include "tests/support/window_on_file.h"

namespace {

enum class Fault { ReadOnlyDirectory, WriteProtectedFile, FileSizeLimit, FullFileSystem };

const std::string Three = "[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000orange\r\n2=87CEEBsky\r\n"
                          "3=336699sea\r\n";

std::filesystem::path SmallFileSystem;

/// Started as root where mount namespaces are allowed: mounts a 64 KiB file system over /mnt that
/// only this process sees and that goes away with it. Its path, or empty when that is not possible.
/// Call before RunAsOrdinaryUser.
std::filesystem::path MountSmallFileSystem()
{
    if (::geteuid() != 0 || !std::filesystem::is_directory("/mnt") || ::unshare(CLONE_NEWNS) != 0
        || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("tintora-small", "/mnt", "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=1777")
            != 0)
        return {};
    return "/mnt";
}

// The names in dir but the settings file's lock file, which a write makes and leaves for good.
std::vector<std::string> Files(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        if (name != ".Tintora.ini.lock")
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Fills the file system holding dir: the file "filler" takes every block left.
void Fill(const std::filesystem::path& dir)
{
    std::ofstream filler(dir / "filler", std::ios::binary);
    const std::string block(4096, 'f');
    while (filler.write(block.data(), block.size()) && filler.flush()) { }
}

} // namespace

class TstWriteFaults : public QObject
{
    Q_OBJECT

private slots:
    void commandLosesNothing_data();
    void commandLosesNothing();
};

void TstWriteFaults::commandLosesNothing_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("remove"); // the delete command, else the register command
    QTest::addColumn<QStringList>("after"); // the names once the fault is gone and it ran again

    const QStringList registered { "orange", "sky", "sea", "new" };
    const QStringList deleted { "orange", "sea" };
    const std::pair<const char*, Fault> faults[] = {
        { "read-only directory", Fault::ReadOnlyDirectory },
        { "write-protected file", Fault::WriteProtectedFile },
        { "file size limit", Fault::FileSizeLimit },
        { "full file system", Fault::FullFileSystem },
    };
    for (const auto& [name, fault] : faults) {
        QTest::addRow("%s, register", name) << int(fault) << false << registered;
        QTest::addRow("%s, delete", name) << int(fault) << true << deleted;
    }
}

void TstWriteFaults::commandLosesNothing()
{
    QFETCH(int, fault);
    QFETCH(bool, remove);
    QFETCH(QStringList, after);

    if (Fault(fault) == Fault::FullFileSystem && SmallFileSystem.empty())
        QSKIP("no small file system: mounting one needs root and a mount namespace");
    WindowOnFile window(
        Fault(fault) == Fault::FullFileSystem ? SmallFileSystem : std::filesystem::path());
    WriteBytes(window.Path(), Three);
    window.Open();
    const QStringList names { "orange", "sky", "sea" };
    QCOMPARE(window.Items(), names);
    const TStringList list = *UserColorList;
    const std::vector<std::string> files = Files(window.Dir());

    rlimit limit = {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit unlimited = limit;
    switch (Fault(fault)) {
    case Fault::ReadOnlyDirectory:
        QCOMPARE(::chmod(window.Dir().c_str(), 0555), 0);
        break;
    case Fault::WriteProtectedFile:
        QCOMPARE(::chmod(window.Path().c_str(), 0444), 0);
        break;
    case Fault::FileSizeLimit:
        // Writing past 16 bytes fails (EFBIG) instead of raising SIGXFSZ.
        std::signal(SIGXFSZ, SIG_IGN);
        limit.rlim_cur = 16;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        break;
    case Fault::FullFileSystem:
        Fill(window.Dir());
        break;
    }
    const auto command = [&] {
        window.Boxes().clear();
        if (remove)
            window.Delete(1);
        else
            window.Register("123456", "new");
    };
    command();
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    ::chmod(window.Dir().c_str(), 0700);
    ::chmod(window.Path().c_str(), 0644);
    const std::vector<std::string> filesDuringFault = Files(window.Dir());
    std::filesystem::remove(window.Dir() / "filler");

    QCOMPARE(window.Boxes().size(), std::size_t(remove ? 2 : 1)); // the question first
    QCOMPARE(window.Boxes().back().kind, BoxRequest::Error);
    QCOMPARE(window.Boxes().back().text, window.WriteErrorText());
    QCOMPARE(window.Stored(), Three);
    QCOMPARE(window.Items(), names);
    QCOMPARE(*UserColorList, list);
    std::vector<std::string> expectedFiles = files;
    if (Fault(fault) == Fault::FullFileSystem) {
        expectedFiles.push_back("filler");
        std::sort(expectedFiles.begin(), expectedFiles.end());
    }
    QCOMPARE(filesDuringFault, expectedFiles);

    command();
    QCOMPARE(window.Boxes().size(), std::size_t(remove ? 1 : 0));
    window.Close();
    window.Open();
    QCOMPARE(window.Items(), after);
}

int main(int argc, char* argv[])
{
    SmallFileSystem = MountSmallFileSystem();
    RunAsOrdinaryUser();
    QApplication application(argc, argv);
    TstWriteFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_writefaults.moc"
