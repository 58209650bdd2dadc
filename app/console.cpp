#include "app/console.h"

#include <string>

#include "platform/codepage.h"

bool PrintText(std::FILE* stream, std::string_view cp932)
{
    const std::string utf8 = Cp932ToUtf8(cp932);
    const bool written = std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

int ReportFailure(std::string_view reason)
{
    PrintText(stderr, "tintora: " + std::string(reason) + "\n");
    return 2;
}

int PrintResult(std::string_view cp932)
{
    if (!PrintText(stdout, cp932)) {
        return ReportFailure(Sjis(u8"標準出力に書き込めません"));
    }
    return 0;
}
