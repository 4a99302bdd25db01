// Cost of one frame of a window with 50 labelled buttons, with the render cache on
// (each unchanged button is one texture copy) and off (each button draws its bevel and
// renders its label every frame). Needs an accelerated renderer: run under Xvfb; on
// the software renderer the cache is switched off by design and the benchmark says so.
#include "GuiButton.h"
#include "GuiEngine.h"
#include "GuiWindow.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

class BenchApp : public GuiEngine {
 public:
  void onFrame(AppWindow*) override {}
  void onEvent(AppWindow*, GuiEvent&) override {}
};

struct Scene {
  BenchApp app;
  AppWindow* win = nullptr;
  Scene() {
    win = app.createAppWindow(&app, "Bench", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 800, 600,
                              SDL_WINDOW_SHOWN, SDL_Color{200, 200, 200, 255});
    for (int i = 0; i < 50; ++i) {
      const int x = 10 + (i % 5) * 155, y = 10 + (i / 5) * 55;
      win->main_window->addChild(new GuiButton(nullptr, i, x, y, 145, 45, SDL_Color{192, 192, 192, 255},
                                               "Knopf " + std::to_string(i + 1), GuiDefaultFont, 0));
    }
  }
  // present: show the frame; otherwise read one pixel back, which waits until the
  // renderer has drawn everything but leaves out the cost of showing the window.
  void frame(bool present = true) {
    SDL_RenderClear(win->renderer);
    win->main_window->render(win->renderer);
    if (present) {
      SDL_RenderPresent(win->renderer);
    } else {
      Uint32 pixel = 0;
      SDL_Rect one{0, 0, 1, 1};
      SDL_RenderReadPixels(win->renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
    }
    GuiAdvanceRetireRing(win->renderer);
  }
};

void run(benchmark::State& state, bool cache, bool present = true) {
  Scene s;
  GuiWindow* root = s.win->main_window;
  s.frame();  // capability test of the renderer
  if (cache && !root->mCacheSupported) {
    state.SkipWithError("no render cache on this renderer (software); run under Xvfb with OpenGL");
    return;
  }
  if (!cache) root->mCacheSupported = false;
  s.frame();
  for (auto _ : state) s.frame(present);
  SDL_RendererInfo info;
  SDL_GetRendererInfo(s.win->renderer, &info);
  state.SetLabel(info.name ? info.name : "?");
}

void BM_FiftyButtonsCacheOn(benchmark::State& state) { run(state, true); }
void BM_FiftyButtonsCacheOff(benchmark::State& state) { run(state, false); }
void BM_FiftyButtonsCacheOnNoPresent(benchmark::State& state) { run(state, true, false); }
void BM_FiftyButtonsCacheOffNoPresent(benchmark::State& state) { run(state, false, false); }

}  // namespace

BENCHMARK(BM_FiftyButtonsCacheOn)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_FiftyButtonsCacheOff)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_FiftyButtonsCacheOnNoPresent)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_FiftyButtonsCacheOffNoPresent)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

BENCHMARK_MAIN();
