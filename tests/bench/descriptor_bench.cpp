// A save as Velmora makes it, once a descriptor is read: the lines kept, the rewrite and its
// check together, from a real descriptor's size to the largest Velmora reads. Two of each
// size: one the check lets through, and one it refuses at its last line, which the check can
// only name after walking every line before it.
#include <benchmark/benchmark.h>

#include <string>

#include "descriptor.h"
#include "descriptor_check.h"
#include "game_reader.h"

namespace {

// At most `size` bytes of settings, a game-library line among the first, and `last` at the end.
std::string descriptorOfSize(std::size_t size, std::string_view last) {
    static constexpr std::string_view kLines[] = {"game \"QOX\"\r\n",
                                                  "gamedll \"dlls\\hl.dll\"\r\n",
                                                  "gamedll_linux \"dlls/qox.so\"\r\n",
                                                  "type \"multiplayer_only\"\r\n",
                                                  "url_info \"www.qox-mod.example\"\r\n",
                                                  "\r\n",
                                                  "version \"1.0\"\r\n"};
    std::string bytes;
    bytes.reserve(size);
    for (std::size_t i = 0;; ++i) {
        // After the first round, settings other than the game library's.
        const std::string_view line = kLines[i < std::size(kLines) ? i : 2 + i % 5];
        if (bytes.size() + line.size() + last.size() > size) {
            break;
        }
        bytes += line;
    }
    return bytes += last;
}

void save(benchmark::State& state, bool refused) {
    const std::string input = descriptorOfSize(static_cast<std::size_t>(state.range(0)),
                                               refused ? "url_dl\r\n" : "size \"100\"\r\n");
    for (auto _ : state) {
        const velmora::RewrittenDescriptor rewritten =
            velmora::rewrittenDescriptor(velmora::keepOrdinaryLines(input), "qox_bot.dll");
        const std::optional<velmora::Refusal> refusal = velmora::checkRewrite(input, rewritten);
        if (refusal.has_value() != refused) {
            state.SkipWithError("the check did not decide as this case expects");
            break;
        }
        benchmark::DoNotOptimize(refusal);
    }
    state.counters["bytes"] = static_cast<double>(input.size());
}

constexpr std::int64_t kRealDescriptor = 256;
constexpr auto kLargestRead = static_cast<std::int64_t>(velmora::kLargestDescriptor);

BENCHMARK_CAPTURE(save, accepted, false)
    ->RangeMultiplier(4)
    ->Range(kRealDescriptor, kLargestRead)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(save, refused, true)
    ->RangeMultiplier(4)
    ->Range(kRealDescriptor, kLargestRead)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
