#include "settings/palette_file.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/named_file_write.h"
#include "settings/gimp_palette.h"
#include "settings/palette_error.h"

namespace {

/// What stands under a name instead of a file, as a reason; empty for a regular file.
std::string WhatItIs(unsigned mode)
{
    struct Kind
    {
        unsigned type;
        std::u8string_view reason;
    };
    static constexpr Kind kinds[] = {
        { S_IFREG, u8"" },
        { S_IFDIR, u8"フォルダーです" },
        { S_IFIFO, u8"名前付きパイプで、ファイルではありません" },
        { S_IFCHR, u8"デバイスで、ファイルではありません" },
        { S_IFBLK, u8"デバイスで、ファイルではありません" },
        { S_IFSOCK, u8"ソケットで、ファイルではありません" },
    };
    for (const Kind& kind : kinds) {
        if ((mode & S_IFMT) == kind.type)
            return Utf8Literal(kind.reason);
    }
    return Utf8Literal(u8"ファイルではありません");
}

[[noreturn]] void RefuseRead(const std::string& reason)
{
    throw PaletteError(0, Utf8Literal(u8"読み込めません（") + reason + Utf8Literal(u8"）"));
}

[[noreturn]] void RefuseTooLarge()
{
    throw PaletteError(0, Utf8Literal(u8"ファイルが大きすぎます（16MB まで）"));
}

} // namespace

std::string ReadPaletteFile(const std::string& path)
{
    // A look before opening: opening a FIFO or a device may block or act on the device.
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0)
        RefuseRead(SystemErrorText(errno));
    if (const std::string what = WhatItIs(st.st_mode); !what.empty())
        RefuseRead(what);
    if (static_cast<std::uintmax_t>(st.st_size) > MaxPaletteBytes)
        RefuseTooLarge();
    // Without blocking all the same, since the name may stand for something else by now.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        RefuseRead(SystemErrorText(errno));
    const auto refuse = [fd](const std::string& reason) {
        ::close(fd);
        RefuseRead(reason);
    };
    if (::fstat(fd, &st) != 0)
        refuse(SystemErrorText(errno));
    if (const std::string what = WhatItIs(st.st_mode); !what.empty())
        refuse(what);
    // One byte more than the largest file allowed is enough to tell that it is too large.
    std::string bytes;
    bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), MaxPaletteBytes) + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            refuse(SystemErrorText(errno));
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

void WritePaletteFile(const std::string& path, const std::string& text)
{
    const NamedFileWriteError error = WriteNamedFile(path, text);
    std::string reason;
    switch (error.kind) {
    case NamedFileWriteError::None:
        return;
    case NamedFileWriteError::System:
        reason = SystemErrorText(error.error);
        break;
    case NamedFileWriteError::ForeignLink:
        reason = Utf8Literal(u8"共有のフォルダーにある、ほかのアカウントが作ったリンクです");
        break;
    case NamedFileWriteError::NotAFile:
        reason = WhatItIs(static_cast<unsigned>(error.error));
        break;
    }
    throw PaletteError(0, Utf8Literal(u8"書き出せません（") + reason + Utf8Literal(u8"）"));
}
