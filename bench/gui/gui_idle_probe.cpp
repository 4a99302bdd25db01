// Measures what an idle application costs: a window with 50 buttons runs the real
// main loop for a number of seconds without input. Prints the frames presented per
// second and the CPU time the process used. Usage: gui_idle_probe [seconds] [on|off]
// ("off" switches frames on demand off for comparison). Run under Xvfb.
#include "GuiButton.h"
#include "GuiEngine.h"
#include "GuiWindow.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

double cpuSeconds() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class IdleApp : public GuiEngine {
 public:
  Uint32 measureFrom = 0, measureUntil = 0;
  long presented = 0;
  long turns = 0;
  double cpuStart = 0;

  void onEvent(AppWindow* w, GuiEvent& e) override {
    if (e.type == GE_RawSDL && w->main_window) w->main_window->handleEvent(e);
  }
  void onFrame(AppWindow* w) override {
    const Uint32 now = SDL_GetTicks();
    if (measureFrom == 0 && now >= GuiGlobalStartTime + 1000) {
      // Start-up events are over; measure from here.
      measureFrom = now;
      cpuStart = cpuSeconds();
      presented = 0;
      turns = 0;
    }
    ++turns;
    if (measureFrom && now >= measureUntil + measureFrom) shutdown();
    w->main_window->update(now);
    if (!frameNeeded()) return;
    SDL_SetRenderDrawColor(w->renderer, 147, 187, 236, 255);
    SDL_RenderClear(w->renderer);
    w->main_window->render(w->renderer);
    SDL_RenderPresent(w->renderer);
    ++presented;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const bool onDemand = !(argc > 2 && std::strcmp(argv[2], "off") == 0);
  IdleApp app;
  AppWindow* win = app.createAppWindow(&app, "Idle", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1024, 768,
                                       SDL_WINDOW_SHOWN, SDL_Color{200, 200, 200, 255});
  if (!win) return 1;
  MainAppWindow = win;
  for (int i = 0; i < 50; ++i)
    win->main_window->addChild(new GuiButton(nullptr, i, 10 + (i % 5) * 155, 10 + (i / 5) * 55, 145, 45,
                                             SDL_Color{192, 192, 192, 255}, "Knopf " + std::to_string(i + 1),
                                             GuiDefaultFont, 0));
  app.setFramesOnDemand(onDemand);
  app.measureUntil = static_cast<Uint32>(seconds) * 1000;
  const Uint32 wallStart = SDL_GetTicks();
  app.run();
  const double wall = (SDL_GetTicks() - app.measureFrom) / 1000.0;
  const double cpu = cpuSeconds() - app.cpuStart;
  SDL_RendererInfo info;
  SDL_GetRendererInfo(win->renderer, &info);
  std::printf("renderer %s, frames on demand %s, measured %.1f s (total %.1f s)\n", info.name,
              onDemand ? "on" : "off", wall, (SDL_GetTicks() - wallStart) / 1000.0);
  std::printf("loop turns per second: %.1f\n", app.turns / wall);
  std::printf("frames presented per second: %.2f\n", app.presented / wall);
  std::printf("CPU time: %.3f s (%.2f %% of one core)\n", cpu, 100.0 * cpu / wall);
  return 0;
}
