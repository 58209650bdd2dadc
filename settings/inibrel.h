#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "settings/component.h"
#include "settings/profile_file.h"
#include "settings/string_list.h"

enum TIniBrelDefaultDir : std::uint8_t { ddApplication, ddWindows, ddNone };
enum TIniBrelFence : std::uint8_t { fnDoubleQuote, fnParenthesis, fnVer11Mode, fnNone };

/// The non-visual component that names the settings file and reads and writes it, optionally
/// wrapping text values in fence characters.
class TIniBrel : public TComponent
{
public:
    explicit TIniBrel(TComponent* owner);
    ~TIniBrel() override;
    void LoadingComplete() override;

    TIniBrelDefaultDir DefaultDir() const { return m_defaultDir; }
    void SetDefaultDir(TIniBrelDefaultDir mode);
    const std::string& FileName() const { return m_fileName; }
    void SetFileName(const std::string& name);
    TIniBrelFence Fence() const { return m_fence; }
    void SetFence(TIniBrelFence mode);
    bool FenceUnassigned() const { return m_fenceUnassigned; }

    std::string ReadPlain(
        const std::string& section, const std::string& key, const std::string& def);
    void WritePlain(const std::string& section, const std::string& key, const std::string& value);
    std::int32_t ReadInt(const std::string& section, const std::string& key, std::int32_t def);
    void WriteInt(const std::string& section, const std::string& key, std::int32_t value);
    std::string ReadFenced(
        const std::string& section, const std::string& key, const std::string& def);
    void WriteFenced(const std::string& section, const std::string& key, const std::string& value);
    /// ReadFenced of the keys 1 to count (in decimal), in order, from one look at the file.
    TStringList ReadFencedNumbered(
        const std::string& section, std::int32_t count, const std::string& def);

    /// Runs writes, whose WritePlain, WriteInt and WriteFenced calls then change the file once,
    /// after writes returns and in their order: all of them land, or on a refused write none does
    /// and the write error is thrown. Reads inside writes see the file as it was.
    void WriteTogether(const std::function<void()>& writes);

    /// text wrapped in the fence characters of Fence (unchanged under fnNone).
    std::string FenceText(const std::string& text) const;

    /// The path held by the current profile file.
    const std::string& Path() const { return m_profile->FileName(); }

    /// Makes ready for a write to Path(): when the path lies in the user's own settings folder
    /// (an installed program), that folder and the folders above it are made where missing, mode
    /// 0700. The component's writes call it; a caller that replaces the file itself calls it
    /// first. Throws CodePageError when the code-page conversions cannot be set up, and the write
    /// error for Path() when the folder cannot be made.
    void PrepareWrite();

    /// The box that shows the designer's warning with OK alone (see SetFence); the window that
    /// owns the component gives its warning box. Without one, the warning is not shown.
    void SetWarningBox(std::function<int(const std::string& message)> box);

private:
    /// text without the one pair of fence characters that ReadFenced takes off.
    std::string_view Unfenced(std::string_view text) const;

    bool m_fenceUnassigned = true;
    std::unique_ptr<TIniFile> m_profile;
    TIniBrelDefaultDir m_defaultDir = ddApplication;
    std::string m_fileName;
    TIniBrelFence m_fence = fnNone;
    std::vector<ProfileWrite>* m_pending = nullptr;
    /// The user's settings folder that the resolved path lies in; empty for any other path.
    std::string m_folderToMake;
    std::function<int(const std::string& message)> m_warningBox;
};

/// The settings file's name derived from the program file's path: the part after the last
/// directory separator, extension changed to ".INI", ASCII lowered, first letter raised (only
/// ASCII letters change case).
std::string DefaultIniName(const std::string& programPath);

/// Index of the last directory separator ("\", ":" or "/") in path, npos if none. Paths are the
/// file system's bytes (UTF-8), so a separator is never part of another character.
std::size_t LastDirectorySeparator(const std::string& path);
