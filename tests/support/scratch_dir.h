#pragma once

// What the tests that work on real files share: a directory of the test's own, gone with all in it
// when the test ends, and reading and writing files byte for byte.

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>

class ScratchDir
{
public:
    /// Makes a new directory, open to its owner only, named prefix and six random characters,
    /// under base (the system's temporary directory when empty).
    explicit ScratchDir(const std::string& prefix, std::filesystem::path base = {})
    {
        if (base.empty())
            base = std::filesystem::temp_directory_path();
        const std::string pattern = (base / (prefix + "XXXXXX")).string();
        std::string made = pattern; // mkdtemp fills in the Xs, even when it fails
        if (!::mkdtemp(made.data()))
            throw std::runtime_error(
                "cannot make a directory from " + pattern + ": " + std::strerror(errno));
        m_dir = made;
    }
    /// Tests take permissions away from the directory and its entries, so the owner gets them
    /// back first; whatever still cannot be removed stays.
    ~ScratchDir()
    {
        Unlock(m_dir);
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Dir() const { return m_dir; }
    std::string File(const std::string& name) const { return (m_dir / name).string(); }

private:
    // Gives the owner all permissions on path and on everything below it. A link is left as it
    // is: what it points to may lie outside the directory.
    static void Unlock(const std::filesystem::path& path)
    {
        namespace fs = std::filesystem;
        std::error_code ignored;
        const fs::file_status status = fs::symlink_status(path, ignored);
        if (fs::is_symlink(status))
            return;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        if (!fs::is_directory(status))
            return;
        std::error_code failed;
        for (fs::directory_iterator entry(path, failed), end; !failed && entry != end;
             entry.increment(failed))
            Unlock(entry->path());
    }

    std::filesystem::path m_dir;
};

/// The whole file as bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

/// Replaces the file's content with bytes, making the file when it is missing.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
