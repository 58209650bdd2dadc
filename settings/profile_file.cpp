#include "settings/profile_file.h"

#include "colour/integer_text.h"
#include "platform/codepage.h"
#include "platform/profile.h"

std::string TIniFile::GetString(
    const std::string& section, const std::string& key, const std::string& def) const
{
    char buffer[1024];
    DWORD copied = GetPrivateProfileStringA(
        section.c_str(), key.c_str(), def.c_str(), buffer, sizeof buffer, m_path.c_str());
    if (copied >= sizeof buffer) {
        copied = sizeof buffer - 1;
    }
    return std::string(buffer, copied);
}

void TIniFile::GetNumberedStrings(const std::string& section, std::int32_t count,
    const std::string& def, const std::function<void(std::string_view text)>& each) const
{
    GetPrivateProfileNumberedStringsA(
        section.c_str(), count, def.c_str(), 1024, m_path.c_str(), each);
}

void TIniFile::PutString(
    const std::string& section, const std::string& key, const std::string& value)
{
    if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), m_path.c_str())
        == 0) {
        throw WriteError(m_path);
    }
}

std::int32_t TIniFile::GetInteger(
    const std::string& section, const std::string& key, std::int32_t def) const
{
    std::string text = GetString(section, key, "");
    // Files edited by hand may carry C-style hexadecimal; "0x" alone stays as it is.
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.replace(0, 2, "$");
    }
    return StrToIntDef(text, def);
}

void TIniFile::PutInteger(const std::string& section, const std::string& key, std::int32_t value)
{
    PutString(section, key, IntToStr(value));
}

void TIniFile::PutStrings(const std::vector<ProfileWrite>& writes)
{
    if (WritePrivateProfileStringsA(writes, m_path.c_str()) == 0) {
        throw WriteError(m_path);
    }
}

Exception CodePageError()
{
    return Exception(Sjis(u8"文字コードを変換できないため、設定ファイルを読み書きできません")
        + " (iconv: CP932, UTF-8, UTF-16LE)");
}

Exception WriteError(const std::string& path)
{
    // The path is the file system's bytes (UTF-8) and the message a CP932 text: the path is
    // converted for the message alone, a character CP932 lacks showing as "?".
    static const std::string pattern = Sjis(u8"%s に書き込めません");
    return Exception(FormatWithText(pattern, Utf8ToCp932(path)));
}
