#include "app/version_text.h"

#include "platform/codepage.h"

std::string VersionText()
{
    return "tintora " TINTORA_VERSION "\n"
           "Copyright (C) 2026 The Tintora developers\n"
        + Sjis(u8"ライセンス: MIT <https://opensource.org/licenses/MIT>\n"
               u8"これはフリーソフトウェアです。自由に変更し、再配布できます。\n"
               u8"法律で認められる範囲で、一切の保証はありません。\n");
}
