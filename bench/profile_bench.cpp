#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/ini_text.h"
#include "platform/profile.h"
#include "tests/support/scratch_dir.h"

namespace {

constexpr int Entries = 10000;

// A settings file whose one section holds 10,000 entries, as a large user colour list does.
class SettingsFile
{
public:
    SettingsFile()
    {
        std::string text = "[Usercolor]\r\nUsercolcnt=" + std::to_string(Entries) + "\r\n";
        for (int i = 1; i <= Entries; ++i) {
            m_keys.push_back(std::to_string(i));
            text += m_keys.back() + "=FF8000 colour number " + m_keys.back() + "\r\n";
        }
        WriteBytes(m_path, text);
        // A user's settings file was written long before the program starts; give this one a
        // moment to settle, as a file just written is read anew at every call.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }

    const std::string& Path() const { return m_path; }
    const std::vector<std::string>& Keys() const { return m_keys; }

private:
    ScratchDir m_scratch { "profile_bench_" };
    std::string m_path = m_scratch.File("Tintora.ini");
    std::vector<std::string> m_keys;
};

const SettingsFile& File()
{
    static const SettingsFile file;
    return file;
}

// The baseline: every call reads and parses the whole file again.
DWORD ReadAndParseEachTime(const char* section, const char* key, const char* def, char* buffer,
    DWORD size, const char* path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const IniText text(std::move(bytes));
    const auto value = text.Find(section, key);
    const std::string_view out = value ? *value : def;
    const std::size_t length = std::min<std::size_t>(out.size(), size - 1);
    std::memcpy(buffer, out.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

template <auto Get> void LoadAllEntries(benchmark::State& state)
{
    const SettingsFile& file = File();
    char buffer[1024];
    for (auto _ : state) {
        for (const std::string& key : file.Keys()) {
            const DWORD length =
                Get("Usercolor", key.c_str(), "", buffer, sizeof buffer, file.Path().c_str());
            if (length == 0)
                state.SkipWithError("entry missing");
            benchmark::DoNotOptimize(buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * Entries);
}

void BM_LoadEntriesCached(benchmark::State& state)
{
    LoadAllEntries<GetPrivateProfileStringA>(state);
}
BENCHMARK(BM_LoadEntriesCached)->Unit(benchmark::kMillisecond);

void BM_LoadEntriesReparsing(benchmark::State& state)
{
    LoadAllEntries<ReadAndParseEachTime>(state);
}
BENCHMARK(BM_LoadEntriesReparsing)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
