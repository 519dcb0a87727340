// The frame receiver's cost per byte, beside memchr over the same bytes as the floor:
// tiny frames arriving all at once in one read, and a large payload arriving in 4 KiB
// reads. The figures per byte must not grow with the size of the read.

#include "protocol/Frames.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

constexpr std::size_t kPayloadBytes = 1024 * 1024;
constexpr std::size_t kChunkBytes = 4096;

std::string TinyFrames(std::size_t count) {
    std::string bytes;
    bytes.reserve(count * 7);
    for (std::size_t i = 0; i < count; ++i)
        bytes += "<ZZ:1>x";
    return bytes;
}

std::string LargeFrame() {
    std::string payload(kPayloadBytes, 'p');
    for (std::size_t i = 0; i < payload.size(); i += 61)
        payload[i] = "<>:"[i % 3]; // bytes that mean something in a header
    return BuildFrame("QUESTLIST", payload);
}

// A receiver whose queue takes every frame of the measurement.
FrameReceiver UnboundedReceiver() {
    return FrameReceiver(FrameQueue(SIZE_MAX, SIZE_MAX));
}

void BM_ReceiveBurst(benchmark::State& state) {
    const std::string burst = TinyFrames(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        FrameReceiver receiver = UnboundedReceiver();
        const FrameReceiver::Result result = receiver.Receive(burst);
        benchmark::DoNotOptimize(result.framesQueued);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * burst.size()));
}
BENCHMARK(BM_ReceiveBurst)->Arg(5000)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(160000);

void BM_ReceivePayload(benchmark::State& state) {
    const std::string frame = LargeFrame();
    for (auto _ : state) {
        FrameReceiver receiver = UnboundedReceiver();
        for (std::size_t at = 0; at < frame.size(); at += kChunkBytes)
            receiver.Receive(std::string_view(frame).substr(at, kChunkBytes));
        benchmark::DoNotOptimize(receiver.MessageQueue().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * frame.size()));
}
BENCHMARK(BM_ReceivePayload);

// The floor: one memchr over the same bytes, for a byte that is not there. The argument
// is the burst's frame count, or 0 for the large frame.
void BM_Memchr(benchmark::State& state) {
    const std::string bytes =
        state.range(0) == 0 ? LargeFrame() : TinyFrames(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(bytes.data(), '\x01', bytes.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Memchr)->Arg(5000)->Arg(40000)->Arg(160000)->Arg(0);

} // namespace

BENCHMARK_MAIN();
