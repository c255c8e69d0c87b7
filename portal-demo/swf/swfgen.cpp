// Writes the demo portal's games as <id>.swf into the folder given as
// argument; with --probe, --keys or --fonts, writes a test movie instead
// (probe.h), with --guestbook the guestbook game reporting to another address.
#include "games.h"
#include "probe.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace
{
int writeMovie(const swf::Bytes &data, const char *path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data.data()), std::streamsize(data.size()));
    out.close();
    return out ? 0 : 1;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc == 5 && std::string(argv[1]) == "--probe")
        return writeMovie(buildProbe(argv[2], argv[3]), argv[4]);
    if (argc == 4 && std::string(argv[1]) == "--keys")
        return writeMovie(buildKeyProbe(argv[2]), argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--fonts")
        return writeMovie(buildFontProbe(argv[2]), argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--guestbook")
        return writeMovie(buildGuestbook(argv[2]), argv[3]);
    const char *usage = "usage: kavo-swfgen <output folder>\n"
                        "       kavo-swfgen --probe <report address> <local address> <output file>\n"
                        "       kavo-swfgen --keys <report address> <output file>\n"
                        "       kavo-swfgen --fonts <report address> <output file>\n"
                        "       kavo-swfgen --guestbook <report address> <output file>\n";
    if (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
        std::cout << usage;
        return 0;
    }
    // A switch is never a folder name: an unknown one, or a known one with
    // the wrong number of values, gets the usage.
    if (argc != 2 || argv[1][0] == '-') {
        std::cerr << usage;
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const DemoGame &g : demoGames()) {
        const swf::Bytes data = g.build();
        const auto target = dir / (std::to_string(g.id) + ".swf");
        const auto temp = dir / (std::to_string(g.id) + ".swf.part");
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data.data()), std::streamsize(data.size()));
        out.close();
        if (!out) {
            std::cerr << "kavo-swfgen: cannot write " << temp << "\n";
            return 1;
        }
        std::filesystem::rename(temp, target, ec);
        if (ec) {
            std::cerr << "kavo-swfgen: cannot write " << target << ": " << ec.message() << "\n";
            return 1;
        }
    }
    return 0;
}
