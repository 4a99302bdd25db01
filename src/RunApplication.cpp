#include "RunApplication.h"

#include "EntryPoint.h"
#include "GuiDemoRunner.h"
#include "GuiEngine.h"

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string companionDiagramPath(const std::string& screenplay) {
  std::string base = screenplay;
  const size_t dot = base.find_last_of('.');
  const size_t sep = base.find_last_of("/\\");
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) base.erase(dot);
  return base + ".vlm";
}

namespace {

bool is_regular_file(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::u8path(path), ec) && !ec;
}

}  // namespace

int runApplication(EntryContext& ctx, const GuiApplication& application) {
  GuiEngine* app = application.create();

  // A rejected window size ends the program at once; the application object is left
  // as it is, so the settings file is not written again.
  if (!app->takeCommandLineOptions(ctx.argc, ctx.argv)) return 2;

  std::vector<std::string> files = ctx.files;
  if (files.size() > 1) {
    SDL_Log("Nur eine .vlm-Datei kann angegeben werden");
    delete app;
    return 2;
  }

  if (files.empty() && !ctx.screenplay.empty()) {
    const std::string companion = companionDiagramPath(ctx.screenplay);
    if (is_regular_file(companion)) files.push_back(companion);
  }

  if (files.size() == 1 && !(application.loadDiagram && application.loadDiagram(app, files[0]))) {
    SDL_Log("Datei \"%s\" kann nicht geladen werden", files[0].c_str());
    delete app;
    return 2;
  }

  // Lives until the end of this function: the engine's destructor still talks to it.
  GuiDemoRunner runner(app);
  if (!ctx.screenplay.empty()) {
    if (!runner.load(ctx.screenplay)) {
      SDL_Log("%s", runner.error().c_str());
      delete app;
      return 2;
    }
    if (ctx.commandLine.hasOption("demo-speed")) {
      const double factor = std::atof(ctx.commandLine.getOption("demo-speed", "").c_str());
      if (!(factor > 0)) {
        SDL_Log("--demo-speed braucht einen positiven Faktor");
        delete app;
        return 2;
      }
      runner.setSpeed(factor);
    }
    app->setDemoRunner(&runner);
  }

  app->run();
  delete app;

  if (runner.state() == GuiDemoRunner::Failed) return 1;
  if (ctx.testMode) {
    const bool finished = runner.state() == GuiDemoRunner::Finished;
    SDL_Log("Testmodus: %s", finished ? "bestanden" : "nicht zu Ende gespielt");
    return finished ? 0 : 1;
  }
  return 0;
}
