// The editor panel on a diagram of 10,000 rectangles and 10,000 connections:
// one pointer motion that drags a selection of 1,000 shapes (through the
// panel's event entry point and its move action), and one frame of drawing.
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "Connection.h"
#include "Map.h"
#include "MapLayer.h"
#include "Settings.h"
#include "Shape.h"
#include "ShapeRectangle.h"
#include "VelmarisPanel.h"
#include "corekitc.h"
#include "global.h"

namespace {

constexpr int kColumns = 100;
constexpr int kShapes = 10000;
constexpr double kPitch = 60;  // 40 x 40 rectangles, 20 units apart

// SDL with the dummy driver, a renderer for the panel, settings and map in a
// scratch directory (the settings file is written there).
class Editor {
public:
    Editor() {
        ckSetDebugFilter(0);  // the mouse handlers log every hit test
        char tmpl[] = "/tmp/velmaris-bench-XXXXXX";
        if (const char* d = mkdtemp(tmpl)) {
            if (chdir(d) != 0) std::abort();
        }
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        SDL_Init(SDL_INIT_VIDEO);
        mWindow = SDL_CreateWindow("bench", 0, 0, 1024, 768, SDL_WINDOW_HIDDEN);
        mRenderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_SOFTWARE);
        GlobalSettings = new Settings();
        GlobalMap = new Map();
        panel = new VelmarisPanel(nullptr, -1, 10, 170, 1004, 588, SDL_Color{255, 255, 255, 255},
                                  mRenderer);
        GlobalMap->clear();
        s1 = s2 = nullptr;
        // Rows of rectangles; each joined to its right neighbour, and the
        // last of a row to the first of the next row.
        std::vector<Shape*> shapes;
        for (int i = 0; i < kShapes; ++i) {
            double x = (i % kColumns) * kPitch, y = (i / kColumns) * kPitch;
            shapes.push_back(GlobalMap->addRectangle(x, y, x + 40, y + 40));
        }
        for (int i = 0; i < kShapes; ++i)
            GlobalMap->addConnection(shapes[i], 1, shapes[(i + 1) % kShapes], 3);
        global_translate_x = global_translate_y = 0.5;
        global_scale_x = global_scale_y = 1.0;
        panel->resetBoundingBox();
    }
    ~Editor() {
        delete panel;
        delete GlobalMap;
        delete GlobalSettings;
        SDL_DestroyRenderer(mRenderer);
        SDL_DestroyWindow(mWindow);
        SDL_Quit();
    }

    void send(Uint32 type, int px, int py) {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.state = mButtons;
        } else {
            e.button.button = SDL_BUTTON_LEFT;
            mButtons = type == SDL_MOUSEBUTTONDOWN ? SDL_BUTTON_LMASK : 0;
        }
        GuiEvent ev;
        ev.raw = &e;
        ev.x = px;
        ev.y = py;
        panel->handleEvent(ev);
    }

    VelmarisPanel* panel = nullptr;

private:
    SDL_Window* mWindow = nullptr;
    SDL_Renderer* mRenderer = nullptr;
    Uint32 mButtons = 0;
};

// One motion event of a drag that moves 1,000 selected shapes by one grid
// step (alternately right and left), with their connections re-routed.
void BM_DragThousandShapesOneMotion(benchmark::State& state) {
    Editor editor;
    Map* map = GlobalMap;
    MapLayer* layer = map->mMapLayer[0];
    // Every tenth shape; the first one is at (0, 0), its centre at (20, 20).
    map->addSelection(layer->mShapes[0]);
    for (int i = 1; i < 1000; ++i) map->addSelection(layer->mShapes[i * 10]);
    // The press grabs the first shape at its centre (panel pixel = world + 1).
    editor.send(SDL_MOUSEBUTTONDOWN, 21, 21);
    if (map->mSelectedShapes.size() != 1000) state.SkipWithError("selection lost");
    int px = 21;
    for (auto _ : state) {
        px = px == 21 ? 31 : 21;
        editor.send(SDL_MOUSEMOTION, px, 21);
    }
    editor.send(SDL_MOUSEBUTTONUP, px, 21);
    if (layer->mShapes[0]->mShapeNodes[0]->mX != 0 && layer->mShapes[0]->mShapeNodes[0]->mX != 10)
        state.SkipWithError("the selection did not follow the mouse");
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DragThousandShapesOneMotion)->Unit(benchmark::kMillisecond);

// One frame of the same diagram at the given zoom (percent): at 100 % the
// view shows a 1004 x 588 part, at 10 % the whole diagram.
void BM_RenderFrame(benchmark::State& state) {
    Editor editor;
    global_scale_x = global_scale_y = state.range(0) / 100.0;
    editor.panel->resetBoundingBox();
    for (auto _ : state) {
        editor.panel->requestRedraw();
        editor.panel->render();
    }
}
BENCHMARK(BM_RenderFrame)->Arg(100)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
