// Loading and saving a diagram of 10,000 shapes and 10,000 connections,
// with the bare Mini-XML parse of the same file as the reference.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>
#include <mxml.h>

#include "Connection.h"
#include "Map.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"
#include "corekitc.h"
#include "global.h"

namespace {

constexpr int kShapes = 10000;
constexpr int kConnections = 10000;

// Shapes of six kinds on a 100-column grid, each joined to its right-hand
// neighbour (and the last of a row to the next row), with captions.
void buildDiagram(Map& map)
{
    std::vector<Shape*> shapes;
    shapes.reserve(kShapes);
    for (int i = 0; i < kShapes; ++i) {
        const double x = (i % 100) * 200.0;
        const double y = (i / 100) * 150.0;
        Shape* shape = nullptr;
        switch (i % 6) {
        case 0: shape = map.addRectangle(x, y, x + 100, y + 50); break;
        case 1: shape = map.addTriangle(x, y, x + 100, y, x + 50, y + 80); break;
        case 2: shape = map.addPolygon(x, y, x + 90.5, y + 60.25); break;
        case 3: shape = map.addDiamond(x + 50, y, x + 100, y + 40); break;
        case 4: shape = map.addCircle(x, y, 30); break;
        default: shape = map.addConnectorLink(x + 20, y + 20); break;
        }
        shape->setCaption("Shape <b>" + std::to_string(i) + "</b>");
        shapes.push_back(shape);
    }
    for (int i = 0; i < kConnections; ++i) {
        Shape* from = shapes[i % kShapes];
        Shape* to = shapes[(i + 1) % kShapes];
        Connection* c = map.addConnection(from, 0, to, static_cast<int>(to->mConnectionNodes.size() - 1));
        c->setCaption(("c" + std::to_string(i)).c_str());
    }
}

// Removes the generated diagram when the benchmark program ends.
struct FileRemover {
    std::string path;
    ~FileRemover() { std::remove(path.c_str()); }
};

const std::string& diagramFile()
{
    static const FileRemover file{[] {
        const std::string p = "/tmp/velmaris_bench_" + std::to_string(getpid()) + ".vlm";
        Map map;
        GlobalMap = &map;
        buildDiagram(map);
        if (!map.saveMap(p.c_str())) std::abort();
        GlobalMap = nullptr;
        return p;
    }()};
    return file.path;
}

void quietLog()
{
    ckSetDebugFilter(0);
}

void BM_MapFileBareParse(benchmark::State& state)
{
    quietLog();
    const std::string& path = diagramFile();
    for (auto _ : state) {
        // Read and parse, as the loader does, without building anything.
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        mxml_node_t* tree = mxmlLoadString(nullptr, text.str().c_str(), MXML_OPAQUE_CALLBACK);
        benchmark::DoNotOptimize(tree);
        state.PauseTiming();
        mxmlDelete(tree);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MapFileBareParse)->Unit(benchmark::kMillisecond);

void BM_MapFileLoad(benchmark::State& state)
{
    quietLog();
    const std::string& path = diagramFile();
    for (auto _ : state) {
        state.PauseTiming();
        Map* map = new Map();
        GlobalMap = map;
        state.ResumeTiming();
        const bool ok = map->loadMap(path.c_str());
        state.PauseTiming();
        if (!ok) state.SkipWithError("load failed");
        GlobalMap = nullptr;
        delete map;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MapFileLoad)->Unit(benchmark::kMillisecond);

void BM_MapFileSave(benchmark::State& state)
{
    quietLog();
    Map map;
    GlobalMap = &map;
    buildDiagram(map);
    const std::string path = "/tmp/velmaris_bench_save_" + std::to_string(getpid()) + ".vlm";
    for (auto _ : state) {
        if (!map.saveMap(path.c_str())) state.SkipWithError("save failed");
    }
    std::remove(path.c_str());
    GlobalMap = nullptr;
}
BENCHMARK(BM_MapFileSave)->Unit(benchmark::kMillisecond);

}  // namespace
