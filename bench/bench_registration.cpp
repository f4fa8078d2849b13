// Registration cost: every engine object registers with the object manager when it is made and
// leaves it when it goes, and every resource also with the updateable-resources registry; the
// parser makes a string list per statement. The cost per object must stay flat however many
// objects are alive (hundreds of scripts and their resources at start-up).
#include "core/qr_mngr_main.h"
#include "resource/qr_resc_stringlist.h"

#include <benchmark/benchmark.h>

#include <deque>

namespace {

// The manager hub alone: registration needs nothing else of the engine.
struct LiveObjects {
    explicit LiveObjects(std::int64_t count)
    {
        managers->initialize();
        for (std::int64_t i = 0; i < count; ++i)
            lists.push_back(qrNew<QRRESCStringList>(nullptr, true, false));
    }
    QROwned<QRMNGRMain> managers = qrNew<QRMNGRMain>(nullptr);
    std::deque<QROwned<QRRESCStringList>> lists;
};

// A statement's string list: made, used, dropped while everything else stays alive.
void ShortLivedObject(benchmark::State& state)
{
    LiveObjects live(state.range(0));
    for (auto _ : state) {
        auto list = qrNew<QRRESCStringList>(nullptr, true, false);
        benchmark::DoNotOptimize(list.get());
    }
    state.SetItemsProcessed(state.iterations());
    live.lists.clear();
}
BENCHMARK(ShortLivedObject)->RangeMultiplier(8)->Range(64, 262144);

// The oldest object goes and a new one comes: removal far from the end of the registration order.
void OldestObjectReplaced(benchmark::State& state)
{
    LiveObjects live(state.range(0));
    for (auto _ : state) {
        live.lists.pop_front();
        live.lists.push_back(qrNew<QRRESCStringList>(nullptr, true, false));
    }
    state.SetItemsProcessed(state.iterations());
    live.lists.clear();
}
BENCHMARK(OldestObjectReplaced)->RangeMultiplier(8)->Range(64, 262144);

} // namespace

BENCHMARK_MAIN();
