// What a durable replacement costs: one replacement of a vyst_a.csv-sized file
// (write, sync, rename, sync the folder) beside a bare fdatasync of the same
// bytes in place, on the same disk (the first argument, else a scratch folder
// beside the program); p50 and p99 of 300 each, and their ratio (goal <= 2.5).
// Then what the program pays now: the result files' rewrite every 11 seconds
// (both files) and a registry save of a large region's Hraci.dtb (with its
// .bak), and the same replacement the way it was done before, without a sync.

#include "core/file_replace.h"
#include "core/match_state.h"
#include "registry/registry_file.h"
#include "registry/registry_tree.h"
#include "reports/result_files.h"
#include "scoring/game_kinds.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kuzelna;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 300;

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

struct Figures {
    double p50, p99;
};

Figures measure(const std::function<void()>& once, int rounds = kRounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        once();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return {percentile(times, 0.5), percentile(times, 0.99)};
}

void print(const char* what, const Figures& f) {
    std::printf("  %-52s p50 %7.3f ms   p99 %7.3f ms\n", what, f.p50, f.p99);
}

// A 6-lane "200 Hs" match of 6 duels with every throw played: the longest vyst_a.csv.
std::unique_ptr<MatchState> fullMatch() {
    auto state = std::make_unique<MatchState>();
    applyConfiguration(*state, {1, 3, 1, 6, 1});
    for (std::size_t s = 1; s <= 12; ++s) {
        state->player[s].regNumber = "12345";
        state->player[s].throwCount = 200;
        for (std::size_t t = 1; t <= 200; ++t)
            state->player[s].throws[t] = static_cast<u8>(t % 9 + 1);
    }
    return state;
}

// A region's registry: 40 clubs, 3 teams each, 15 players a team.
std::string largeRegistry() {
    std::string text;
    for (int c = 1; c <= 40; ++c) {
        text += "Klub " + std::to_string(c) + " - \r\n";
        for (int t = 1; t <= 3; ++t) {
            text += "\tDruzstvo " + std::to_string(t) + " - \r\n";
            for (int p = 1; p <= 15; ++p)
                text +=
                    "\t\t" + std::to_string(c * 1000 + t * 100 + p) + " - Prijmeni Jmeno, 01.01.1990 , \r\n";
        }
    }
    return text;
}

// The replacement as it was before: a fixed name beside the file, closed and renamed, no sync.
void replaceWithoutSync(const std::string& path, const std::string& content) {
    {
        std::ofstream out(path + ".tmp", std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    std::rename((path + ".tmp").c_str(), path.c_str());
}

} // namespace

int main(int argc, char** argv) {
    const fs::path folder =
        argc > 1 ? fs::path(argv[1]) : fs::path(argv[0]).parent_path() / "bench_durable_replace_scratch";
    fs::create_directories(folder);

    const auto match = fullMatch();
    const std::string content = resultFileContent(*match);
    const std::string target = (folder / kResultFileA).string();

    std::printf("one file of %zu bytes (vyst_a.csv of a 6-lane \"200 Hs\" match) in %s, %d rounds:\n",
                content.size(), folder.string().c_str(), kRounds);
    const std::string inPlace = (folder / "in_place.csv").string();
    const int fd = ::open(inPlace.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror("bench_durable_replace: in_place.csv");
        return 1;
    }
    // Taken in turns, so that what else the disk does falls on both alike.
    std::vector<double> durableTimes, bareTimes;
    for (int i = 0; i < kRounds; ++i) {
        auto start = Clock::now();
        replaceFile(target, content);
        durableTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        start = Clock::now();
        if (::pwrite(fd, content.data(), content.size(), 0) != static_cast<ssize_t>(content.size()) ||
            ::fdatasync(fd) != 0)
            std::perror("bench_durable_replace: pwrite/fdatasync");
        bareTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    ::close(fd);
    fs::remove(inPlace);
    const Figures durable{percentile(durableTimes, 0.5), percentile(durableTimes, 0.99)};
    const Figures bare{percentile(bareTimes, 0.5), percentile(bareTimes, 0.99)};
    print("durable replacement (write, fsync, rename, folder fsync)", durable);
    print("bare fdatasync of the same bytes in place", bare);
    std::printf("  ratio p50 %.2f   p99 %.2f   (goal: <= 2.5)\n", durable.p50 / bare.p50,
                durable.p99 / bare.p99);
    print("the same replacement before (no sync)", measure([&] { replaceWithoutSync(target, content); }));

    // Where the time of a replacement goes, step by step, the same calls as replaceFile's.
    std::vector<double> steps[3];
    const std::string temporary = (folder / ".vyst_a.csv.bench.tmp").string();
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        const int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (out < 0 || ::write(out, content.data(), content.size()) != static_cast<ssize_t>(content.size()) ||
            ::fsync(out) != 0) {
            std::perror("bench_durable_replace: the temporary");
            return 1;
        }
        ::close(out);
        const auto synced = Clock::now();
        if (::rename(temporary.c_str(), target.c_str()) != 0) std::perror("bench_durable_replace: rename");
        const auto renamed = Clock::now();
        syncFolder(folder.string());
        const auto done = Clock::now();
        steps[0].push_back(std::chrono::duration<double, std::milli>(synced - start).count());
        steps[1].push_back(std::chrono::duration<double, std::milli>(renamed - synced).count());
        steps[2].push_back(std::chrono::duration<double, std::milli>(done - renamed).count());
    }
    std::printf(
        "  the steps, p50: write + fsync %.3f ms, rename over the old file %.3f ms, folder fsync %.3f ms\n",
        percentile(steps[0], 0.5), percentile(steps[1], 0.5), percentile(steps[2], 0.5));

    std::printf("what the program pays:\n");
    print("result files' rewrite every 11 s (vyst_a + vyst_b)",
          measure([&] { writeResultFiles(*match, folder.string()); }, 100));
    print("  the same before (no sync)",
          measure(
              [&] {
                  replaceWithoutSync((folder / kResultFileA).string(), content);
                  replaceWithoutSync((folder / kResultFileB).string(), content);
              },
              100));

    RegistryTree tree;
    parseRegistry(largeRegistry(), tree);
    const std::string registry = (folder / kRegistryFileName).string();
    const std::string serialized = serializeRegistry(tree);
    saveRegistry(tree, registry);
    char label[96];
    std::snprintf(label, sizeof label, "registry save, %zu bytes (with its .bak)", serialized.size());
    print(label, measure([&] { saveRegistry(tree, registry); }, 100));
    print("  the same before (no sync)",
          measure(
              [&] {
                  std::ifstream in(registry, std::ios::binary);
                  const std::string previous{std::istreambuf_iterator<char>(in),
                                             std::istreambuf_iterator<char>()};
                  replaceWithoutSync(registryBackupPath(registry), previous);
                  replaceWithoutSync(registry, serializeRegistry(tree));
              },
              100));

    for (const char* name : {kResultFileA, kResultFileB, kRegistryFileName})
        fs::remove(folder / name);
    fs::remove(registryBackupPath(registry));
    return 0;
}
