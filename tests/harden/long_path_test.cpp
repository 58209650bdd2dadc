// The program installed under a directory whose path is longer than a Windows path buffer: the
// settings file must still be the one beside the program file, never a file named after a cut-off
// directory in one of its parents.

#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

std::string OutputOf(const std::string& program)
{
    std::string output;
    if (FILE* pipe = ::popen(("'" + program + "'").c_str(), "r")) {
        char chunk[512];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            output.append(chunk, got);
        ::pclose(pipe);
    }
    return output;
}

TEST(LongInstallPath, SettingsFileStaysBesideTheProgram)
{
    const ScratchDir root("tintora-long-");
    for (const std::size_t length : { 100u, 250u, 600u }) {
        SCOPED_TRACE(length);
        fs::path dir = root.Dir() / std::to_string(length);
        while (dir.string().size() < length)
            dir /= std::string(40, 'd');
        fs::create_directories(dir);
        const fs::path program = dir / "tintora";
        fs::copy_file(PATH_PROBE, program, fs::copy_options::overwrite_existing);
        EXPECT_EQ(OutputOf(program.string()), (dir / "Tintora.ini").string());
    }
}

} // namespace
