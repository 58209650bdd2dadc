// A child program for the kill and concurrency tests: registers and deletes user colours in the
// settings file given as its argument, through the same store functions the window's commands
// call, until it is killed or has run the given number of commands. Like a window, it deletes from
// the list as it last loaded it. Before each command it reports the command on standard output
// ("register <entry>" or "delete <index> <entry>"), after it "ok", each line in one write, so the
// test knows which command a kill interrupted.
//
//   store_driver <settings file> <seed> [commands]

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "colour/exception.h"
#include "settings/inibrel.h"
#include "settings/usercolor_store.h"
#include "tests/support/ini_on_file.h"

namespace {

void Report(const std::string& line)
{
    const std::string text = line + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        std::_Exit(3);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3 && argc != 4)
        return 2;
    const unsigned long commands = argc == 4 ? std::strtoul(argv[3], nullptr, 10) : 0;
    TIniBrel ini(nullptr);
    IniOn(ini, argv[1]);
    std::mt19937 random(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)));

    TStringList listed = LoadUserColors(ini).entries;
    for (unsigned serial = 0; commands == 0 || serial < commands; ++serial) {
        const auto count = static_cast<std::int32_t>(listed.size());
        const bool remove = count > 0 && (count >= 40 || random() % 5 < 2);
        try {
            if (remove) {
                const auto index =
                    static_cast<std::int32_t>(random() % static_cast<unsigned>(count));
                const std::string chosen(listed[static_cast<std::size_t>(index)]);
                Report("delete " + std::to_string(index) + " " + chosen);
                listed = DeleteUserColor(ini, index, chosen).entries;
            } else {
                char entry[32];
                std::snprintf(entry, sizeof entry, "%06X%s-%u",
                    static_cast<unsigned>(random() & 0xFFFFFF), argv[2], serial);
                Report(std::string("register ") + entry);
                RegisterUserColor(ini, entry);
                listed.push_back(entry);
            }
        } catch (const Exception& error) {
            Report(std::string("error ") + error.Message());
            return 1;
        }
        Report("ok");
    }
    return 0;
}
