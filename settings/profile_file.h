#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "colour/exception.h"
#include "platform/profile.h"

/// One settings file path and four operations over the profile functions. Keeps no file open
/// and caches nothing: every operation is one call of the profile functions.
class TIniFile
{
public:
    explicit TIniFile(std::string path)
        : m_path(std::move(path))
    {
    }

    /// The path exactly as passed at construction.
    const std::string& FileName() const { return m_path; }

    /// The stored value, at most 1023 bytes, or def (also cut to 1023 bytes) when missing.
    std::string GetString(
        const std::string& section, const std::string& key, const std::string& def) const;
    /// GetString of the keys 1 to count (in decimal), in order, from one look at the file: each
    /// text is handed to each, valid during that call only.
    void GetNumberedStrings(const std::string& section, std::int32_t count, const std::string& def,
        const std::function<void(std::string_view text)>& each) const;
    /// Throws Exception "<path> に書き込めません" when the write is refused.
    void PutString(const std::string& section, const std::string& key, const std::string& value);
    /// "0x"/"0X" before more text reads as "$"; def when the text does not read.
    std::int32_t GetInteger(
        const std::string& section, const std::string& key, std::int32_t def) const;
    void PutInteger(const std::string& section, const std::string& key, std::int32_t value);
    /// Several writes in one replacement of the file: all land, or none and the write error.
    void PutStrings(const std::vector<ProfileWrite>& writes);

private:
    std::string m_path;
};

using ProfileFile = TIniFile;

/// The write error for path: Exception "%s に書き込めません", the path (the file system's bytes)
/// shown in CP932 with "?" for what CP932 cannot hold.
Exception WriteError(const std::string& path);

/// The error for a settings file that cannot be read or written because the system cannot convert
/// between its code pages (iconv lacks CP932 or UTF-16LE); its end, in ASCII, stays readable then.
Exception CodePageError();
