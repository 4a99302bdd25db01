#include "RunVelmaris.h"

#include "EntryPoint.h"
#include "Velmaris.h"
#include "VelmarisPanel.h"

int runVelmaris(EntryContext& ctx) {
  GuiApplication app;
  app.create = []() -> GuiEngine* { return new Velmaris; };
  app.loadDiagram = [](GuiEngine* engine, const std::string& path) {
    return static_cast<Velmaris*>(engine)->panel()->loadMapFile(path);
  };
  return runApplication(ctx, app);
}
