#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "GuiTranslation.h"
#include "corekit.h"
#include "corekitc.h"

namespace {

// A statement whose level is filtered out: only the filter test runs.
void BM_DebugStatementFilteredOut(benchmark::State& state)
{
    int saved = corekit_debug_filter;
    ckSetDebugFilter(0);
    int value = 0;
    for (auto _ : state) {
        CK_INFO("value %d", value++);
        benchmark::DoNotOptimize(value);
    }
    ckSetDebugFilter(saved);
}
BENCHMARK(BM_DebugStatementFilteredOut);

// A written info line (timestamp, location, message, line end) into /dev/null.
void BM_DebugStatementWritten(benchmark::State& state)
{
    FILE* sink = fopen("/dev/null", "w");
    FILE* saved = corekit_debug_out;
    ckSetDebugOut(sink);
    int value = 0;
    for (auto _ : state)
        CK_INFO("value %d", value++);
    ckSetDebugOut(saved);
    fclose(sink);
}
BENCHMARK(BM_DebugStatementWritten);

void BM_ToStringDouble(benchmark::State& state)
{
    double v = 1234.5678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(corekit::ToString(v, 0));
        v += 0.25;
    }
}
BENCHMARK(BM_ToStringDouble);

void BM_ToDouble(benchmark::State& state)
{
    const std::string text = "  1234.57";
    for (auto _ : state)
        benchmark::DoNotOptimize(corekit::ToDouble(text));
}
BENCHMARK(BM_ToDouble);

void BM_GuiTrGerman(benchmark::State& state)
{
    GuiSetLanguage("de_DE");
    for (auto _ : state)
        benchmark::DoNotOptimize(GuiTr("Cancel"));
}
BENCHMARK(BM_GuiTrGerman);

}  // namespace
