// Fuzz target: arbitrary text as the name of a diagram part, the way a
// screenplay's "move_to" and "expect" hand it to the editor panel. Points,
// ids, object names and node, connection-node and arrow parts are resolved
// against a small diagram; no name may crash, whatever it holds.
#include <SDL.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Connection.h"
#include "Map.h"
#include "Settings.h"
#include "Shape.h"
#include "ShapeCircle.h"
#include "ShapeRectangle.h"
#include "VelmarisPanel.h"
#include "corekitc.h"
#include "global.h"

namespace {

VelmarisPanel* makePanel() {
    char pattern[] = "/tmp/velmaris-fuzz-names-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0) std::abort();
    ckSetDebugFilter(0);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) std::abort();
    SDL_Window* window = SDL_CreateWindow("fuzz", 0, 0, 400, 300, SDL_WINDOW_HIDDEN);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) std::abort();
    GlobalSettings = new Settings();
    GlobalMap = new Map();
    VelmarisPanel* panel = new VelmarisPanel(nullptr, -1, 10, 170, 400, 300,
                                             SDL_Color{255, 255, 255, 255}, renderer);
    // Named objects next to the sample diagram, one connection marked invalid.
    Shape* a = GlobalMap->addRectangle(100, 50, 200, 100);
    a->setName("A");
    Shape* k = GlobalMap->addCircle(300, 40, 30);
    k->setName("K.1");
    Connection* c = GlobalMap->addConnection(a, 1, k, 0);
    c->setName("C");
    c->mInvalidArrow2 = true;
    Connection* d = GlobalMap->addConnection(a, 2, a, 0);
    d->setName("A");
    d->setValid(false);
    return panel;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static VelmarisPanel* panel = makePanel();
    const std::string name(reinterpret_cast<const char*>(data), size);
    SDL_Rect rect;
    std::string value;
    double x, y, w, h;
    panel->partRect(name, rect);
    panel->getValueTextOf(name, value);
    panel->mapRectOf(name, x, y, w, h);
    panel->shapeByName(name);
    panel->connectionByName(name);
    return 0;
}
