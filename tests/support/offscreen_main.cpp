// Entry for test and benchmark programs that draw text: fonts need a GUI application, the
// offscreen platform needs no display. Built once for GoogleTest and once, with
// MIREVALE_BENCHMARK_MAIN, for Google Benchmark.

#include <QGuiApplication>

#ifdef MIREVALE_BENCHMARK_MAIN
#include <benchmark/benchmark.h>
#else
#include <gtest/gtest.h>
#endif

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
#ifdef MIREVALE_BENCHMARK_MAIN
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
#else
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
#endif
}
