// Velmaris: the application object. A GuiEngine that creates the process-wide
// settings and map, opens the main window with the editor panel, the menu bar and the
// tool bar, and implements the engine's two hooks: onEvent for every routed SDL event
// and every command, onFrame for drawing a window. The entry point creates one
// instance with new, runs it and deletes it; the instance owns GlobalMap and
// GlobalSettings.
#pragma once

#include "GuiButton.h"
#include "GuiEngine.h"
#include "GuiImageButton.h"
#include "VelmarisPanel.h"

#include <cstdint>
#include <vector>

class GuiMenuBar;
class GuiMenu;

// The menu bar of the main window; set by the Velmaris constructor, cleared by its
// destructor.
extern GuiMenuBar* menubar1;

class Velmaris : public GuiEngine {
 public:
  // Command ids of the application's menus. Only FileNew, FileOpen and AppQuit are
  // used by menu items; the others are reserved for menus that do not exist yet.
  enum Command : uint16_t {
    None = 0,
    FileNew = 257,
    FileOpen = 258,
    FileSave = 259,
    FileQuit = 511,
    EditUndo = 513,
    EditRedo = 514,
    EditCopy = 515,
    EditPaste = 516,
    ViewZoomIn = 769,
    ViewZoomOut = 770,
    ToolRun = 4097,
    ToolBuild = 4098,
    AppQuit = 65535,
  };

  // Item ids of the recent-files submenu.
  enum { RecentFile1 = 1100, RecentFile2 = 1101, RecentFile3 = 1102 };

  VelmarisPanel* mVelmarisPanel;        // owned by the main window's root
  GuiButtonGroup mToolGroup;            // radio group of the tool buttons
  std::vector<GuiButton*> mToolButtons; // indexed by VelmarisPanel::Tool; owned by the root
  GuiImageButton* mModeButton;          // view-mode toggle; owned by the root

  // Builds the settings, the map, the main window, the editor panel, the menu bar and
  // the tool bar. Exceptions of the engine's construction propagate.
  Velmaris();
  // Closes the main window, then deletes the map and the settings (which writes the
  // settings file).
  ~Velmaris() override;
  void onFrame(AppWindow* window) override;
  void onEvent(AppWindow* window, GuiEvent& event) override;

  void createToolBar();
  // Presses the button of tool t (unless it already is) and highlights exactly the
  // pressed tool buttons.
  void showTool(VelmarisPanel::Tool t);
  // Presses and highlights the mode button in the shape view mode, releases it
  // otherwise.
  void showViewMode();

  // The editor panel (the entry point loads the diagram through it).
  VelmarisPanel* panel() const { return mVelmarisPanel; }

  // Highlight of pressed tool bar buttons.
  static constexpr SDL_Color kHighlight{150, 190, 240, 255};

 private:
  void buildMenus(AppWindow* window);
  void handleModalEvent(AppWindow* window, GuiEvent& event);
  void handleCommand(GuiEvent& event);
  void focusPanel();
};
