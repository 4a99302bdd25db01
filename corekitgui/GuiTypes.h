// Shared types of the GUI toolkit: the event record that travels from the engine
// through the root windows to the widgets and back to the application as commands,
// the command ids, hit-test and location records, the text-input marker interface
// and the record of one top-level window (owned by the engine).
#pragma once

#include <SDL.h>
#include <cairo.h>

#include <cstdint>
#include <string>

class GuiObject;
class GuiWindow;
class GuiEngine;

typedef intptr_t gui_param;

enum GuiEventType {
  GE_RawSDL = 0,   // an SDL event is attached (raw)
  GE_Command = 1,  // a command payload is attached (cmd)
};

// Command ids carried in GuiCommandPayload::cmd_id.
enum {
  GUI_CMD_BUTTON = 1000,            // button clicked or auto-repeated
  GUI_CMD_MENU = 1001,              // menu item chosen
  GUI_CMD_IMAGE_PANEL = 1002,       // reserved
  GUI_CMD_COMBOBOX_CHANGED = 1003,  // combo box selection changed
  GUI_CMD_SLIDER_CHANGED = 1004,    // reserved
  GUI_CMD_MODAL_CLOSED = 9999,      // a modal dialog ended; source_id is its result
};

// Button ids that stand for a modal answer.
enum {
  GUI_ID_MODAL_CANCEL = 0,
  GUI_ID_MODAL_OK = 1,
  GUI_ID_MODAL_YES = 2,
  GUI_ID_MODAL_NO = 3,
};

struct GuiCommandPayload {
  int cmd_id = 0;               // GUI_CMD_* value
  int source_id = 0;            // id of the producing widget, or a modal result
  gui_param param = 0;          // command-specific value
  GuiObject* source = nullptr;  // widget (or root window) that produced it
};

struct GuiEvent {
  int type = GE_RawSDL;          // a GuiEventType
  Uint32 window_id = 0;          // SDL id of the window; 0 when routed to the active window
  GuiCommandPayload cmd;         // valid for GE_Command
  const SDL_Event* raw = nullptr;  // valid for GE_RawSDL
  int x = 0, y = 0;              // pointer position relative to the receiving widget
  GuiObject* mEventObject = nullptr;  // widget the root delivered the event to
  int mId = -1;                  // that widget's id
};

// Result of a hit test: the object and the point relative to it.
struct HitInfo {
  GuiObject* object = nullptr;
  int x = 0, y = 0;
};

// Visible part of an object as found by GuiWindow::locate.
struct GuiLocation {
  SDL_Rect rect{0, 0, 0, 0};         // window coordinates
  SDL_Rect screen_rect{0, 0, 0, 0};  // desktop coordinates
  SDL_Point center{0, 0};            // centre of rect, window coordinates
};

// Marker interface of the widget that receives text input. The engine compares and
// clears pointers of this type but never calls through them.
class IEditable {
 public:
  virtual ~IEditable() {}
};

// Record of one top-level window. Allocated by the engine, freed by
// GuiEngine::destroyWindow; owns its SDL window, renderer, cairo buffer and root widget.
struct AppWindow {
  Uint32 id = 0;                     // SDL window id (0 until finished)
  SDL_Window* window = nullptr;      // window data "AppWindow" points back here
  SDL_Renderer* renderer = nullptr;
  GuiWindow* main_window = nullptr;  // root widget, owned
  GuiEngine* gui_engine = nullptr;
  int w = 0, h = 0;                  // current logical size
  std::string title;
  SDL_Color background{20, 20, 20, 255};
  unsigned char* pixels = nullptr;   // w*h*4 zero-filled bytes (calloc)
  cairo_surface_t* csurface = nullptr;
  cairo_t* cr = nullptr;
  SDL_Surface* sdl_surface = nullptr;  // not used by the toolkit
  SDL_Texture* texture = nullptr;      // destroyed with the window if set
};
