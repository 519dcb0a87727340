// One password check as a login runs it: Argon2id at the cost new hashes get, against the
// PBKDF2 hash of earlier versions for comparison. A storm of N logins on C cores cannot
// end sooner than N x one check / C.
//   password_bench [--benchmark_...]

#include "accounts/Password.h"

#include <benchmark/benchmark.h>

namespace {

void Argon2idCheck(benchmark::State& state) {
    const std::string stored = password::Hash("correct horse");
    for (auto _ : state)
        benchmark::DoNotOptimize(password::Verify("correct horse", stored));
}
BENCHMARK(Argon2idCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

void Pbkdf2Check(benchmark::State& state) {
    const std::string stored = password::HashPbkdf2("correct horse");
    for (auto _ : state)
        benchmark::DoNotOptimize(password::Verify("correct horse", stored));
}
BENCHMARK(Pbkdf2Check)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
