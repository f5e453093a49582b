// The descriptor rewrite against a plain copy of the same bytes, from a few hundred bytes
// to 64 MiB; its cost must grow linearly with the size.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "descriptor.h"

namespace {

std::string descriptorOfSize(std::size_t size) {
    static constexpr std::string_view kLines[] = {"game \"QOX\"\r\n",
                                                  "gamedll \"dlls\\hl.dll\"\r\n",
                                                  "gamedll_linux \"dlls/qox.so\"\r\n",
                                                  "type \"multiplayer_only\"\r\n",
                                                  "url_info \"www.qox-mod.example\"\r\n",
                                                  "\r\n"};
    std::string bytes;
    bytes.reserve(size + 64);
    for (std::size_t i = 0; bytes.size() < size; ++i) {
        bytes += kLines[i % std::size(kLines)];
    }
    bytes.resize(size);
    return bytes;
}

void rewrite(benchmark::State& state) {
    const std::string input = descriptorOfSize(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        velmora::RewrittenDescriptor output =
            velmora::rewrittenDescriptor(velmora::keepOrdinaryLines(input), "qox_bot.dll");
        benchmark::DoNotOptimize(output.bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void copy(benchmark::State& state) {
    const std::string input = descriptorOfSize(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string output(input.size(), '\0');
        std::memcpy(output.data(), input.data(), input.size());
        benchmark::DoNotOptimize(output.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

constexpr std::int64_t kSmallest = 256;
constexpr std::int64_t kLargest = std::int64_t{64} << 20;

BENCHMARK(rewrite)->RangeMultiplier(16)->Range(kSmallest, kLargest)->Unit(benchmark::kMicrosecond);
BENCHMARK(copy)->RangeMultiplier(16)->Range(kSmallest, kLargest)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
