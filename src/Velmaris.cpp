#include "Velmaris.h"

#include "GuiMenu.h"
#include "GuiMenuBar.h"
#include "GuiMenuItem.h"
#include "GuiWindow.h"
#include "GuiDialog.h"
#include "Map.h"
#include "Settings.h"
#include "Error.h"
#include "corekitc.h"
#include "global.h"


#include <valgrind/callgrind.h>

#include <string>

GuiMenuBar* menubar1 = nullptr;

namespace {

const SDL_Color kGrey{192, 192, 192, 255};
const SDL_Color kWhite{255, 255, 255, 255};
const SDL_Color kNoHighlight{0, 0, 0, 0};

// One row of the tool bar: the tool, its icon (relative to the working directory)
// and the button's automation name.
struct ToolButtonRow {
  VelmarisPanel::Tool tool;
  const char* icon;
  const char* name;
  const char* tooltip;
};

const ToolButtonRow tool_buttons[] = {
    {VelmarisPanel::Tool::Select, "data/icons/cursor20x20.png", "tool_select", "Auswahl"},
    {VelmarisPanel::Tool::Rectangle, "data/icons/rectangle20x20.png", "tool_rectangle", "Rechteck"},
    {VelmarisPanel::Tool::Diamond, "data/icons/diamond20x20.png", "tool_diamond", "Raute"},
    {VelmarisPanel::Tool::Circle, "data/icons/circle20x20.png", "tool_circle", "Kreis"},
    {VelmarisPanel::Tool::Triangle, "data/icons/triangle20x20.png", "tool_triangle", "Dreieck"},
    {VelmarisPanel::Tool::Polygon, "data/icons/polygon20x20.png", "tool_polygon", "Vieleck"},
    {VelmarisPanel::Tool::Image, "data/icons/image20x20.png", "tool_image", "Bild"},
};

const char* const kModeIcon = "data/icons/resize20x20.png";

// The display that holds the global mouse position (left and top edges inclusive);
// display 0 when none does.
int display_under_mouse() {
  int mx = 0, my = 0;
  SDL_GetGlobalMouseState(&mx, &my);
  const int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; ++i) {
    SDL_Rect b;
    if (SDL_GetDisplayBounds(i, &b) != 0) continue;
    if (mx >= b.x && mx < b.x + b.w && my >= b.y && my < b.y + b.h) return i;
  }
  return 0;
}

// Fills the recent-files submenu; called on a fresh submenu at every opening.
void build_recent_submenu(GuiMenu& menu) {
  for (GuiMenuItem* item : menu.mItems) delete item;
  menu.mItems.clear();
  menu.mItems.push_back((new GuiMenuItem(Velmaris::RecentFile1, "Didel &1", false, nullptr))->setName("recent1"));
  menu.mItems.push_back((new GuiMenuItem(Velmaris::RecentFile2, "Didel &2", false, nullptr))->setName("recent2"));
  menu.mItems.push_back((new GuiMenuItem(Velmaris::RecentFile3, "Didel &3", false, nullptr))->setName("recent3"));
}

bool shift_held(const SDL_Keysym& k) { return (k.mod & KMOD_SHIFT) != 0; }
bool alt_held(const SDL_Keysym& k) { return (k.mod & KMOD_ALT) != 0; }

}  // namespace

Velmaris::Velmaris() : GuiEngine(), mVelmarisPanel(nullptr), mModeButton(nullptr) {
  GlobalSettings = new Settings();
  GlobalMap = new Map();
  GlobalGuiEngine = this;

  const int display = display_under_mouse();
  MainAppWindow = createAppWindow(this, "Velmaris", SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                  SDL_WINDOWPOS_CENTERED_DISPLAY(display), 1024, 768,
                                  SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE, SDL_Color{200, 200, 200, 255});
  if (!MainAppWindow || !MainAppWindow->main_window) {
    // Without a main window there is nothing to run; the destructor will not run
    // either, so the map and the settings are released here.
    delete GlobalMap;
    GlobalMap = nullptr;
    delete GlobalSettings;
    GlobalSettings = nullptr;
    throw corekit::Error("Das Hauptfenster konnte nicht erstellt werden");
  }
  GuiWindow* root = MainAppWindow->main_window;

  mVelmarisPanel = new VelmarisPanel(nullptr, -1, 10, 170, 1004, 588, kWhite, MainAppWindow->renderer);
  root->addChild(mVelmarisPanel);
  mVelmarisPanel->setTargetFPS(30);
  mVelmarisPanel->setUploadOnlyWhenChanged(true);
  setFramesOnDemand(true);
  mVelmarisPanel->setName("canvas");

  buildMenus(MainAppWindow);

  root->setFocus(mVelmarisPanel);

  createToolBar();
}

void Velmaris::buildMenus(AppWindow* window) {
  GuiWindow* root = window->main_window;
  menubar1 = new GuiMenuBar(nullptr, -1, kGrey, "MenuBar", GuiDefaultFont);
  root->addChild(menubar1);

  GuiMenu* file = new GuiMenu(nullptr, -1, 0, 0, 220, 0, kWhite, "Datei", GuiDefaultFont);
  file->mOwnedByBar = true;
  file->setName("file");
  file->mItems = {
      (new GuiMenuItem(FileNew, "Neu", false, nullptr))->setName("file_new"),
      (new GuiMenuItem(FileOpen, "Öffnen...", false, nullptr))->setName("file_open"),
      (new GuiMenuItem(0, "Z&uletzt verwendet", true, build_recent_submenu))->setName("file_recent"),
      (new GuiMenuItem(AppQuit, "Beenden", false, nullptr))->setName("file_quit"),
  };
  menubar1->addTopMenu("&Datei", file);
}

void Velmaris::focusPanel() {
  if (MainAppWindow && MainAppWindow->main_window && mVelmarisPanel)
    MainAppWindow->main_window->setFocus(mVelmarisPanel);
}

void Velmaris::createToolBar() {
  GuiWindow* root = MainAppWindow->main_window;
  SDL_Renderer* renderer = MainAppWindow->renderer;
  int x = 10;
  for (const ToolButtonRow& row : tool_buttons) {
    GuiImageButton* b = new GuiImageButton(nullptr, -1, x, 30, 28, 28, kGrey, renderer, 1);
    root->addChild(b);
    b->loadPNG(renderer, row.icon);
    b->setName(row.name);
    b->mTooltip = row.tooltip;
    mToolGroup.add(b);
    mToolButtons.push_back(b);
    const VelmarisPanel::Tool rowTool = row.tool;
    b->mListeners.push_back([this, rowTool](GuiButton*, bool pressed) {
      const VelmarisPanel::Tool t = pressed ? rowTool : VelmarisPanel::Tool::Select;
      mVelmarisPanel->setTool(t);
      showTool(t);
      focusPanel();
    });
    x += 30;
  }
  showTool(mVelmarisPanel->getTool());
  mVelmarisPanel->mOnToolChanged = [this](VelmarisPanel::Tool t) { showTool(t); };

  mModeButton = new GuiImageButton(nullptr, -1, x + 10, 30, 28, 28, kGrey, renderer, 1);
  root->addChild(mModeButton);
  mModeButton->loadPNG(renderer, kModeIcon);
  mModeButton->setName("mode_shape");
  mModeButton->mTooltip = "Formansicht: Größe ändern (F5)";
  mModeButton->mListeners.push_back([this](GuiButton*, bool pressed) {
    if (pressed != (mVelmarisPanel->mViewMode == VIEW_MODE_SHAPE)) mVelmarisPanel->switchViewMode();
    showViewMode();
    focusPanel();
  });
  mVelmarisPanel->mOnViewModeChanged = [this]() { showViewMode(); };
  showViewMode();
}

void Velmaris::showTool(VelmarisPanel::Tool t) {
  const size_t index = static_cast<size_t>(t);
  if (index < mToolButtons.size() && !mToolButtons[index]->mPressed) mToolButtons[index]->setValueText("1");
  for (GuiButton* b : mToolButtons) b->setBackgroundColor(b->mPressed ? kHighlight : kNoHighlight);
}

void Velmaris::showViewMode() {
  if (!mModeButton || !mVelmarisPanel) return;
  const bool shape = mVelmarisPanel->mViewMode == VIEW_MODE_SHAPE;
  mModeButton->setValueText(shape ? "1" : "0");
  mModeButton->setBackgroundColor(shape ? kHighlight : kNoHighlight);
}

Velmaris::~Velmaris() {
  if (MainAppWindow && MainAppWindow->main_window) {
    // The menus of the bar belong to the application, not to the root: close them
    // (an open one is a child of the root) and delete them while the root and its
    // renderer still exist, so their cached textures are retired properly.
    GuiWindow* root = MainAppWindow->main_window;
    root->closeAllPopups(false);
    root->processDestroyQueue();
    if (menubar1) {
      for (GuiMenuBar::TopMenu& t : menubar1->mTopMenus) {
        delete t.menu;
        t.menu = nullptr;
      }
    }
  }
  if (MainAppWindow && destroyWindow(MainAppWindow->id)) {
    CK_INFO("Destroying main-window");
  } else {
    CK_ERROR("main-window not destroyed. Id not found!");
  }
  menubar1 = nullptr;
  mVelmarisPanel = nullptr;
  mModeButton = nullptr;
  if (GlobalMap) {
    delete GlobalMap;
    GlobalMap = nullptr;
  }
  if (GlobalSettings) {
    delete GlobalSettings;
    GlobalSettings = nullptr;
  }
  mToolButtons.clear();
  if (GlobalGuiEngine == this) GlobalGuiEngine = nullptr;
}

void Velmaris::onFrame(AppWindow* window) {
  if (!window || !window->main_window) return;
  window->main_window->update(GuiTicks());
  if (mVelmarisPanel && mVelmarisPanel->needsRedraw() && mVelmarisPanel->wantsRedraw()) mVelmarisPanel->render();
  if (!frameNeeded()) return;
  SDL_Renderer* renderer = window->renderer;
  SDL_SetRenderDrawColor(renderer, 147, 187, 236, 255);
  SDL_RenderClear(renderer);
  window->main_window->render(renderer);
  SDL_RenderPresent(renderer);
}

void Velmaris::handleModalEvent(AppWindow* window, GuiEvent& event) {
  GuiWindow* modal = mModalWindow;
  if (event.type == GE_Command) {
    GuiDialog* dialog = window ? dynamic_cast<GuiDialog*>(window->main_window) : nullptr;
    if (event.cmd.cmd_id == GUI_CMD_BUTTON && dialog) {
      if (event.cmd.source_id == GUI_ID_MODAL_OK) dialog->onAccept();
      else if (event.cmd.source_id == GUI_ID_MODAL_CANCEL) dialog->onCancel();
    }
    return;  // other commands are dropped while a dialog is modal
  }
  if (!event.raw) return;
  const SDL_Event& e = *event.raw;
  if (e.type == SDL_WINDOWEVENT) {
    switch (e.window.event) {
      case SDL_WINDOWEVENT_CLOSE:
        return;  // a dialog is closed by its answer, never by the window manager
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        mActiveWindowId = e.window.windowID;
        mWindowFocused = true;
        CK_INFO("Gained focus");
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        if (e.window.windowID == mActiveWindowId) {
          mActiveWindowId = 0;
          mWindowFocused = false;
          CK_INFO("Lost focus");
        }
        break;
      default:
        break;
    }
  } else if (e.type == SDL_MOUSEBUTTONDOWN) {
    mActiveWindowId = e.button.windowID;
  }

  if (!window || window->main_window != modal) return;  // input for other windows is dropped
  GuiDialog* dialog = dynamic_cast<GuiDialog*>(modal);
  if (e.type == SDL_KEYDOWN && dialog) {
    if (e.key.keysym.sym == SDLK_ESCAPE) {
      dialog->onCancel();
      return;
    }
    if (e.key.keysym.sym == SDLK_RETURN) {
      dialog->onAccept();
      return;
    }
  }
  CK_INFO("onEvent: window-id:%d", static_cast<int>(window->id));
  modal->handleEvent(event);
}

void Velmaris::handleCommand(GuiEvent& event) {
  if (event.cmd.source) {
    CK_INFO("GOT CMD EVENT FROM %s", event.cmd.source->className());
    CK_INFO("EVENT FROM %s [%d]", event.cmd.source->className(), event.cmd.source->mId);
  } else {
    CK_INFO("GOT CMD EVENT FROM NULL !");
  }
  // "Beenden" carries AppQuit as its item id, which menu commands send as source_id.
  const bool quitByMenu = event.cmd.cmd_id == GUI_CMD_MENU && event.cmd.source_id == AppQuit;
  const bool quitByParam = static_cast<uint16_t>(event.cmd.param) == AppQuit;
  if (quitByMenu || quitByParam) {
    CK_INFO("Demo-app shutdown");
    shutdown();
  }
}

void Velmaris::onEvent(AppWindow* window, GuiEvent& event) {
  static bool is_profiling = false;

  if (event.type == GE_Command && event.cmd.cmd_id == GUI_CMD_MODAL_CLOSED) {
    // Input boxes are the only dialogs whose answer carries text for the panel;
    // this program opens none yet, so every closed dialog hands null.
    if (mVelmarisPanel) mVelmarisPanel->takeInput(nullptr);
    requestDestroy(event.window_id);
    return;
  }

  // A quit request from outside (SIGINT, SIGTERM, the desktop session ending) ends the
  // program the way closing its window does; without this the editor could only be
  // killed.
  if (event.type == GE_RawSDL && event.raw && event.raw->type == SDL_QUIT) {
    shutdown();
    return;
  }

  if (mModalWindow) {
    handleModalEvent(window, event);
    return;
  }

  if (event.type == GE_Command) {
    handleCommand(event);
    return;
  }

  if (!event.raw || !window || !window->main_window) return;
  const SDL_Event& e = *event.raw;
  if (e.type == SDL_KEYDOWN) {
    const SDL_Keysym& k = e.key.keysym;
    if (shift_held(k) && k.sym == SDLK_o) {
      if (!is_profiling) {
        is_profiling = true;
        CK_INFO("Profiling enabled");
        CALLGRIND_START_INSTRUMENTATION;
        CALLGRIND_TOGGLE_COLLECT;
      } else {
        CALLGRIND_TOGGLE_COLLECT;
        CALLGRIND_STOP_INSTRUMENTATION;
        CK_INFO("Profiling disabled");
        is_profiling = false;
      }
    } else if (alt_held(k) && k.sym == SDLK_d) {
      if (menubar1) menubar1->openTopMenuLabel("&Datei");
    }
  }
  GuiWindow* root = window->main_window;
  root->handleEvent(event);
  // A click on the menu bar gives it the keyboard focus; once its menus are closed the
  // keys belong to the canvas again, as after a click on a tool button.
  if (menubar1 && root->mFocus == menubar1 && root->mPopups.empty()) focusPanel();
}
