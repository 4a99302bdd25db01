// Fuzz target: any file handed to the diagram loader must load (fully or in
// part) or be refused, never crash, hang or leak. Whatever was loaded must
// then save and load again to the same objects without any complaint.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "Connection.h"
#include "Map.h"
#include "MapLayer.h"
#include "Shape.h"
#include "corekitc.h"
#include "global.h"

namespace {

std::string scratchPath(const char* name)
{
    // tmpfs keeps the syncs of the safe save cheap.
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(dir) + "/fuzz_loadmap_" + std::to_string(getpid()) + "_" + name;
}

size_t countShapes(Map& map)
{
    size_t n = 0;
    for (MapLayer* layer : map.mMapLayer) n += layer->mShapes.size();
    return n;
}

size_t countConnections(Map& map)
{
    size_t n = 0;
    for (MapLayer* layer : map.mMapLayer) n += layer->mConnections.size();
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The loader reports on standard output; the fuzzer does not need it.
    ckSetDebugFilter(0);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string input = scratchPath("input.vlm");
    static const std::string output = scratchPath("output.vlm");

    FILE* file = std::fopen(input.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    Map map;
    GlobalMap = &map;
    map.loadMap(input.c_str());
    map.validate();
    for (MapLayer* layer : map.mMapLayer) {
        for (Shape* shape : layer->mShapes) map.recalcConnectionsOfShape(shape);
        for (Connection* connection : layer->mConnections) {
            FindConnectedTargetShape(connection->mConnectionNodes[0], connection);
            connection->isBetween(0, 0);
        }
    }

    const size_t shapes = countShapes(map);
    const size_t connections = countConnections(map);
    if (!map.saveMap(output.c_str())) __builtin_trap();

    Map again;
    GlobalMap = &again;
    if (!again.loadMap(output.c_str())) __builtin_trap();
    if (countShapes(again) != shapes || countConnections(again) != connections) __builtin_trap();
    GlobalMap = nullptr;
    return 0;
}
