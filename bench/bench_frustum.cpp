// Frustum culling cost: the terrain and the entity list test every block and entity box each frame.
#include "math/qr_math_matrix.h"
#include "visual/view/qr_visx_frustum.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<std::pair<Vector3, Vector3>> blockBoxes()
{
    // The 16 x 16 terrain blocks of 160 units, 40 units high.
    std::vector<std::pair<Vector3, Vector3>> boxes;
    for (int x = 0; x < 16; ++x)
        for (int z = 0; z < 16; ++z)
            boxes.push_back({{x * 160.0f, 0.0f, z * 160.0f}, {x * 160.0f + 160.0f, 40.0f, z * 160.0f + 160.0f}});
    return boxes;
}

void BoxCulling(benchmark::State& state)
{
    QRVISXFrustum frustum(nullptr);
    frustum.extractPlanes(QRMATHMatrix4::perspective(4.0f / 3.0f, 45.0f, 0.6f, 200.0f),
                          QRMATHMatrix4::translation({-1280.0f, -20.0f, -1280.0f}));
    const auto boxes = blockBoxes();
    for (auto _ : state) {
        int visible = 0;
        for (const auto& [minimum, maximum] : boxes)
            visible += frustum.isBoxVisible(minimum, maximum) ? 1 : 0;
        benchmark::DoNotOptimize(visible);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(boxes.size()));
}
BENCHMARK(BoxCulling);

} // namespace

BENCHMARK_MAIN();
