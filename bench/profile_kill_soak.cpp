// Soak of the preferences writes against kills at random moments: a child process writes one
// key again and again and is killed after a random 1 to 5 ms; the next write must leave the
// file alone in its folder, with its own value. Prints how many kills landed between a
// temporary file's creation and its rename. Exits with 1 when anything outlived the next write.
//
//   profile_kill_soak [rounds=200]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "PrivateProfile.h"

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    const fs::path dir = fs::temp_directory_path() / ("tamsel-soak-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "t.ini").string();
    ProfileEngine engine;
    engine.WriteString(path, "S", "k", "0");
    std::mt19937 random(26);
    int landed = 0, faults = 0;
    for (int round = 0; round < rounds; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            ProfileEngine own;
            for (unsigned i = 0;; ++i)
                own.WriteString(path, "S", "k", std::to_string(i % 7));
        }
        ::usleep(useconds_t(1000 + random() % 4000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const auto entries = [&] { return std::distance(fs::directory_iterator(dir), {}); };
        landed += entries() > 1;
        if (!engine.WriteString(path, "S", "k", "9") || entries() != 1 ||
            engine.ReadString(path, "S", "k", "") != "9") {
            std::fprintf(stderr, "round %d: something outlived the next write\n", round);
            ++faults;
        }
    }
    std::printf("%d rounds, %d kills between a temporary file and its rename, %d faults\n", rounds,
                landed, faults);
    fs::remove_all(dir);
    return faults == 0 ? 0 : 1;
}
