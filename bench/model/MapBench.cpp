// Map operations on a diagram of 10,000 rectangles: the hit tests the editor
// runs on every pointer move, and moving a selection of 1,000 shapes.
#include <benchmark/benchmark.h>

#include <memory>

#include "Map.h"
#include "Shape.h"
#include "ShapeRectangle.h"
#include "corekitc.h"

namespace {

constexpr int kColumns = 100;
constexpr int kShapes = 10000;
constexpr double kPitch = 30;  // 20 x 20 rectangles, 10 units apart

// A map of kShapes rectangles in a 100-column grid. The last one made is the
// bottom-most shape, so a hit on it walks the whole stack.
std::unique_ptr<Map> makeMap()
{
    ckSetDebugFilter(0);  // constructors trace every shape
    auto map = std::make_unique<Map>();
    for (int i = 0; i < kShapes; ++i) {
        const double x = (i % kColumns) * kPitch, y = (i / kColumns) * kPitch;
        map->addRectangle(x, y, x + 20, y + 20);
    }
    return map;
}

void BM_HitTestEmptyPoint(benchmark::State& state)
{
    auto map = makeMap();
    for (auto _ : state)
        benchmark::DoNotOptimize(map->hitTest(-500, -500));
}
BENCHMARK(BM_HitTestEmptyPoint);

void BM_HitTestBottomMostShape(benchmark::State& state)
{
    auto map = makeMap();
    const double x = ((kShapes - 1) % kColumns) * kPitch + 10;
    const double y = ((kShapes - 1) / kColumns) * kPitch + 10;
    if (map->hitTest(x, y) != map->mMapLayer[0]->mShapes.back())
        state.SkipWithError("the probe point does not hit the bottom-most shape");
    for (auto _ : state)
        benchmark::DoNotOptimize(map->hitTest(x, y));
}
BENCHMARK(BM_HitTestBottomMostShape);

void BM_HitBorderTestBottomMostShape(benchmark::State& state)
{
    auto map = makeMap();
    const double x = ((kShapes - 1) % kColumns) * kPitch + 25;
    const double y = ((kShapes - 1) / kColumns) * kPitch + 10;
    for (auto _ : state)
        benchmark::DoNotOptimize(map->hitBorderTest(x, y));
}
BENCHMARK(BM_HitBorderTestBottomMostShape);

// One grid step per iteration (alternately right and left), as the arrow
// keys move a selection.
void BM_MoveSelectionByStep(benchmark::State& state)
{
    auto map = makeMap();
    for (int i = 0; i < 1000; ++i)
        map->addSelection(map->mMapLayer[0]->mShapes[i * 10]);
    double direction = 1;
    for (auto _ : state) {
        map->moveSelectedShapesByStep(direction, 0);
        direction = -direction;
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_MoveSelectionByStep);

// One snapped drag step of the mouse per iteration.
void BM_DragSelectionOneGridStep(benchmark::State& state)
{
    auto map = makeMap();
    for (int i = 0; i < 1000; ++i)
        map->addSelection(map->mMapLayer[0]->mShapes[i * 10]);
    map->setSelectedShapesDiffStartPosition(5, 5);
    double x = 5;
    for (auto _ : state) {
        x += 10;
        map->setSelectedShapesDiffPosition(x, 5);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DragSelectionOneGridStep);

}  // namespace
