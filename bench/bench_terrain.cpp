// The terrain's heavy operations on a sculpted world with streets: saving and loading all 16 area
// files, a full normal and street pass, and a million height queries. Runs an engine core in a
// temporary program folder, so the area files it writes go nowhere else.

#include "core/qr_core_main.h"
#include "core/qr_core_messagebox.h"
#include "core/qr_core_programfolder.h"
#include "environment/app_envr_main.h"

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {
APPENVRMain* gEnvironment = nullptr;

void sculpt(APPENVRMain& environment)
{
    for (int x = 0; x < APPENVRMain::kStoredVertexCount; ++x)
        for (int z = 0; z < APPENVRMain::kStoredVertexCount; ++z)
            environment.setHeight(x, z, std::sin(x * 0.05f) * 20.0f + std::cos(z * 0.031f) * 7.5f);
    for (int x = 0; x < APPENVRMain::kCellCount; ++x)
        for (int z = 0; z < APPENVRMain::kCellCount; ++z) {
            environment.setGroundType(x, z, static_cast<std::uint8_t>((x + z) % 2));
            if (x % 5 == 0 || z % 7 == 0)
                environment.setStreet(x, z);
        }
    environment.updateNormals();
    environment.updateStreets();
    environment.updateBounds();
}

void BM_SaveAllAreas(benchmark::State& state)
{
    for (auto _ : state)
        gEnvironment->saveAreas();
    state.SetBytesProcessed(state.iterations() * 16 * 416472);
}
BENCHMARK(BM_SaveAllAreas)->Unit(benchmark::kMillisecond);

void BM_LoadAllAreas(benchmark::State& state)
{
    gEnvironment->saveAreas();
    for (auto _ : state)
        gEnvironment->loadAreas();
    state.SetBytesProcessed(state.iterations() * 16 * 416472);
}
BENCHMARK(BM_LoadAllAreas)->Unit(benchmark::kMillisecond);

void BM_UpdateNormals(benchmark::State& state)
{
    for (auto _ : state)
        gEnvironment->updateNormals();
    state.SetItemsProcessed(state.iterations() * 640 * 640);
}
BENCHMARK(BM_UpdateNormals)->Unit(benchmark::kMillisecond);

void BM_UpdateStreets(benchmark::State& state)
{
    for (auto _ : state)
        gEnvironment->updateStreets();
    state.SetItemsProcessed(state.iterations() * 160 * 160);
}
BENCHMARK(BM_UpdateStreets)->Unit(benchmark::kMicrosecond);

void BM_MillionHeightQueries(benchmark::State& state)
{
    for (auto _ : state) {
        // A cheap generator spreads the queries over the world and a little beyond it.
        std::uint32_t seed = 12345;
        float sum = 0.0f;
        for (int i = 0; i < 1000000; ++i) {
            seed = seed * 134775813u + 1u;
            const float x = static_cast<float>(seed >> 20) * 0.65f - 50.0f;
            const float z = static_cast<float>((seed >> 8) & 0xFFFu) * 0.65f - 50.0f;
            sum += gEnvironment->getHeight({x, 0.0f, z});
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_MillionHeightQueries)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);

    std::string pattern = (std::filesystem::temp_directory_path() / "kipster-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const std::filesystem::path folder = pattern;
    qrSetProgramFolder(folder);
    // An error must not stop the run behind a modal box; it is printed instead.
    qrSetMessagePresenter([](QRMessageKind, const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    {
        QWidget mainForm;
        QROwned<QRCOREMain> core = qrNew<QRCOREMain>(&mainForm, 2);
        core->initialize();
        {
            auto environment = qrNew<APPENVRMain>(nullptr);
            environment->initialize();
            sculpt(*environment);
            gEnvironment = environment.get();
            benchmark::RunSpecifiedBenchmarks();
            gEnvironment = nullptr;
        }
    }
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
