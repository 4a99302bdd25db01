// GuiEngine: SDL set-up and tear-down, top-level windows, the main loop with frames
// on demand, the modal state, full screen, "--window-size" and the texture retire ring.
#include "GuiEngine.h"

#include "GuiDialog.h"
#include "GuiWindow.h"

#include "corekitc.h"

#include <SDL_image.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "GuiDemoRunner.h"

// ---------------------------------------------------------------------------
// Process-wide objects

std::vector<AppWindow*> GuiGlobalWindowList;
AppWindow* MainAppWindow = nullptr;
GuiEngine* GlobalGuiEngine = nullptr;
TTF_Font* GuiDefaultFont = nullptr;
FT_Face GuiDefaultFace = nullptr;
FT_Library ft = nullptr;
const unsigned char* GuiDefaultFontMemory = nullptr;
unsigned long GuiDefaultFontMemorySize = 0;
Uint32 GuiGlobalStartTime = 0;
const char* const GuiDefaultFontPath = "data/fonts/Vera.ttf";

bool GuiEngine::sFrameRequested = true;
bool GuiEngine::sFrameRequestedNext = true;

namespace {

bool g_windowsDpiAware = false;
GuiTickSource g_tickSource = nullptr;

std::unordered_map<SDL_Renderer*, RetireBins>& _retireMap() {
  static std::unordered_map<SDL_Renderer*, RetireBins> m;
  return m;
}

bool isCenteredPosition(int v) {
  const unsigned u = static_cast<unsigned>(v);
  return u >= 0x2FFF0000u && u <= 0x2FFFFFFFu;
}

// A zeroed w x h ARGB32 pixel buffer for a window's Cairo surface; null when
// the memory cannot be had.
unsigned char* allocateCairoPixels(int w, int h) {
  return static_cast<unsigned char*>(std::calloc(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 1));
}

// Makes the window's Cairo surface and context over `pixels` (which the record
// then owns) and records the size.
void attachCairoBuffer(AppWindow* rec, unsigned char* pixels, int w, int h) {
  rec->pixels = pixels;
  rec->csurface = cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, w, h, w * 4);
  rec->cr = cairo_create(rec->csurface);
  rec->w = w;
  rec->h = h;
}

// Releases the window's Cairo context, surface and pixel buffer.
void releaseCairoBuffer(AppWindow* rec) {
  if (rec->cr) cairo_destroy(rec->cr);
  if (rec->csurface) cairo_surface_destroy(rec->csurface);
  std::free(rec->pixels);
  rec->cr = nullptr;
  rec->csurface = nullptr;
  rec->pixels = nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Free functions

void GuiSetDefaultFontMemory(const unsigned char* data, unsigned long size) {
  GuiDefaultFontMemory = data;
  GuiDefaultFontMemorySize = size;
}

TTF_Font* GuiOpenFontAtSize(int pixels) {
  if (GuiDefaultFontMemory) {
    SDL_RWops* rw = SDL_RWFromConstMem(GuiDefaultFontMemory, static_cast<int>(GuiDefaultFontMemorySize));
    if (!rw) return nullptr;
    return TTF_OpenFontRW(rw, 1, pixels);  // the font owns and closes the stream
  }
  return TTF_OpenFont(GuiDefaultFontPath, pixels);
}

void GuiSetWindowsDpiAware(bool on) { g_windowsDpiAware = on; }
bool GuiWindowsDpiAware() { return g_windowsDpiAware; }

void GuiApplyWindowsDpiHint() {
  if (g_windowsDpiAware)
    SDL_SetHint("SDL_WINDOWS_DPI_AWARENESS", "permonitorv2");
  else
    SDL_ResetHint("SDL_WINDOWS_DPI_AWARENESS");
}

bool isRunningUnderWine() { return std::getenv("WINEUSERNAME") != nullptr; }

void GuiCenterOver(const SDL_Rect& over, const SDL_Rect& bounds, int w, int h, int& x, int& y) {
  x = over.x + (over.w - w) / 2;
  y = over.y + (over.h - h) / 2;
  if (bounds.w > 0 && bounds.h > 0) {
    x = std::min(x, bounds.x + bounds.w - w);
    x = std::max(x, bounds.x);
    y = std::min(y, bounds.y + bounds.h - h);
    y = std::max(y, bounds.y);
  }
}

AppWindow* GuiFindWindowById(Uint32 id) {
  for (AppWindow* w : GuiGlobalWindowList)
    if (w && w->id == id) return w;
  return nullptr;
}

bool parseWindowSize(const std::string& text, int& w, int& h, bool& fullscreen) {
  if (text == "fullscreen") {
    w = 0;
    h = 0;
    fullscreen = true;
    return true;
  }
  if (text.find_first_not_of("0123456789x") != std::string::npos) return false;
  std::istringstream is(text);
  is.imbue(std::locale::classic());
  int width = 0, height = 0;
  char sep = 0;
  if (!(is >> width)) return false;
  if (!is.get(sep)) return false;
  if (!(is >> height)) return false;
  if (sep != 'x') return false;
  char extra;
  if (is.get(extra)) return false;
  if (width < 1 || width > 8192 || height < 1 || height > 8192) return false;
  w = width;
  h = height;
  fullscreen = false;
  return true;
}

Uint32 GuiTicks() { return g_tickSource ? g_tickSource() : SDL_GetTicks(); }
void GuiSetTickSource(GuiTickSource source) { g_tickSource = source; }

void GuiRetireTexture(SDL_Renderer* renderer, SDL_Texture* texture) {
  if (!texture) return;
  if (!renderer) {
    SDL_DestroyTexture(texture);
    return;
  }
  RetireBins& b = _retireMap()[renderer];
  b.bins[b.current].push_back(texture);
}

void GuiAdvanceRetireRing(SDL_Renderer* renderer) {
  auto& m = _retireMap();
  auto it = m.find(renderer);
  if (it == m.end()) return;
  RetireBins& b = it->second;
  b.current = (b.current + 1) % b.binCount;
  for (SDL_Texture* t : b.bins[b.current]) SDL_DestroyTexture(t);
  b.bins[b.current].clear();
}

size_t GuiRetiredTextureCount(SDL_Renderer* renderer) {
  auto& m = _retireMap();
  auto it = m.find(renderer);
  if (it == m.end()) return 0;
  size_t n = 0;
  for (const auto& bin : it->second.bins) n += bin.size();
  return n;
}

void OnRendererDestroyed(SDL_Renderer* renderer) {
  auto& m = _retireMap();
  auto it = m.find(renderer);
  if (it == m.end()) return;
  for (auto& bin : it->second.bins) {
    for (SDL_Texture* t : bin) SDL_DestroyTexture(t);
    bin.clear();
  }
  m.erase(it);
}

// ---------------------------------------------------------------------------
// Construction and tear-down

GuiEngine::GuiEngine()
    : mQuitRequested(false),
      mQuitting(false),
      mWindowFocused(false),
      mActiveWindowId(0),
      mSavedEditable(nullptr),
      mDemoRunner(nullptr),
      mModalWindow(nullptr),
      mActiveEditable(nullptr),
      mTargetFps(60),
      mFramesOnDemand(false),
      mStartWidth(0),
      mStartHeight(0),
      mStartFullscreen(false),
      mStartSizeApplied(false),
      mFullscreenKey(SDLK_F11) {
  GuiApplyWindowsDpiHint();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) CK_ERROR("SDL_Init failed: %s", SDL_GetError());
  SDL_SetHint("SDL_MOUSE_FOCUS_CLICKTHROUGH", "1");
  IMG_Init(IMG_INIT_PNG);
  if (TTF_Init() != 0) throw Error(0);
  FT_Init_FreeType(&ft);

  GuiDefaultFont = GuiOpenFontAtSize(14);
  if (GuiDefaultFont) {
    FT_Error err;
    if (GuiDefaultFontMemory)
      err = FT_New_Memory_Face(ft, GuiDefaultFontMemory, static_cast<FT_Long>(GuiDefaultFontMemorySize), 0,
                               &GuiDefaultFace);
    else
      err = FT_New_Face(ft, GuiDefaultFontPath, 0, &GuiDefaultFace);
    if (err != 0) {
      GuiDefaultFace = nullptr;
    } else {
      FT_Error cm = FT_Select_Charmap(GuiDefaultFace, FT_ENCODING_UNICODE);
      if (cm != 0) std::printf("Fehler beim Setzen der Unicode-Charmap: %d\n", static_cast<int>(cm));
      FT_Set_Pixel_Sizes(GuiDefaultFace, 0, 14);
    }
    SDL_StartTextInput();
  } else {
    std::fprintf(stderr, "Schriftart konnte nicht geladen werden: %s\n", SDL_GetError());
  }
}

GuiEngine::~GuiEngine() {
  mDestroyRequests.clear();
  while (!mWindows.empty()) {
    Uint32 id = mWindows.begin()->first;
    if (!destroyWindow(id)) mWindows.erase(id);
  }
  if (mDemoRunner) mDemoRunner->releaseFonts();
  if (GuiDefaultFont) {
    TTF_CloseFont(GuiDefaultFont);
    GuiDefaultFont = nullptr;
  }
  if (GuiDefaultFace) {
    FT_Done_Face(GuiDefaultFace);
    GuiDefaultFace = nullptr;
  }
  if (ft) {
    FT_Done_FreeType(ft);
    ft = nullptr;
  }
  TTF_Quit();
  IMG_Quit();
  SDL_Quit();
  mInjectedEvents.clear();
  if (GlobalGuiEngine == this) GlobalGuiEngine = nullptr;
}

// ---------------------------------------------------------------------------
// Command line

bool GuiEngine::takeCommandLineOptions(int& argc, char** argv) {
  if (argc < 2 || !argv) return true;
  // The vector is rewritten only when every option was accepted; after a rejection
  // it is left as it was.
  std::vector<char*> kept;
  bool accepted = false;
  int w = 0, h = 0;
  bool fs = false;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] && std::strcmp(argv[i], "--window-size") == 0) {
      if (accepted) {
        SDL_Log("--window-size darf nur einmal angegeben werden");
        return false;
      }
      if (i + 1 < argc && argv[i + 1] && parseWindowSize(argv[i + 1], w, h, fs)) {
        accepted = true;
        ++i;
        continue;
      }
      SDL_Log("--window-size braucht BREITExHOEHE (1 bis 8192) oder fullscreen");
      return false;
    }
    kept.push_back(argv[i]);
  }
  if (accepted) {
    mStartWidth = w;
    mStartHeight = h;
    mStartFullscreen = fs;
  }
  for (size_t i = 0; i < kept.size(); ++i) argv[1 + i] = kept[i];
  argc = 1 + static_cast<int>(kept.size());
  argv[argc] = nullptr;
  return true;
}

// ---------------------------------------------------------------------------
// Frames

void GuiEngine::requestFrame() {
  sFrameRequested = true;
  sFrameRequestedNext = true;
}

void GuiEngine::finishFrame() {
  sFrameRequested = sFrameRequestedNext;
  sFrameRequestedNext = false;
}

bool GuiEngine::runnerRunning() const {
  return mDemoRunner && mDemoRunner->state() == GuiDemoRunner::State::Running;
}

bool GuiEngine::frameNeeded() const {
  if (!mFramesOnDemand) return true;
  if (runnerRunning()) return true;
  return sFrameRequested;
}

// ---------------------------------------------------------------------------
// Events and the main loop

bool GuiEngine::pollEvent(SDL_Event& event) {
  if (!mInjectedEvents.empty()) {
    event = mInjectedEvents.front();
    mInjectedEvents.pop_front();
    return true;
  }
  for (;;) {
    if (!SDL_PollEvent(&event)) return false;
    if (mDemoRunner && !mDemoRunner->acceptRealEvent(event)) continue;
    break;
  }
  if (event.type == SDL_MOUSEMOTION) {
    SDL_Event next;
    while (SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION) > 0) event = next;
  }
  return true;
}

void GuiEngine::runStart() {
  SDL_Event discard;
  SDL_PollEvent(&discard);
  mFramePeriod = mTargetFps > 0 ? static_cast<Uint32>(1000 / mTargetFps) : 0;
  applyStartWindowSize();
  GuiGlobalStartTime = GuiTicks();
}

void GuiEngine::run() {
  runStart();
  while (runTurn()) {
  }
}

void GuiEngine::routeEvent(SDL_Event& ev) {
  Uint32 wid = 0;
  switch (ev.type) {
    case SDL_WINDOWEVENT: wid = ev.window.windowID; break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: wid = ev.key.windowID; break;
    case SDL_TEXTEDITING: wid = ev.edit.windowID; break;
    case SDL_TEXTINPUT: wid = ev.text.windowID; break;
    case SDL_MOUSEMOTION: wid = ev.motion.windowID; break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: wid = ev.button.windowID; break;
    case SDL_MOUSEWHEEL: wid = ev.wheel.windowID; break;
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
    case SDL_DROPBEGIN:
    case SDL_DROPCOMPLETE: wid = ev.drop.windowID; break;
    default: wid = 0; break;
  }
  const Uint32 target = wid ? wid : mActiveWindowId;
  const bool consumed = handleFullscreenKey(ev);
  AppWindow* window = nullptr;
  auto it = mWindows.find(target);
  if (it != mWindows.end()) window = it->second;
  if (window && !consumed) {
    GuiEvent ge;
    ge.type = GE_RawSDL;
    ge.window_id = wid;
    ge.raw = &ev;
    ge.x = ge.y = 0;
    ge.mEventObject = nullptr;
    ge.mId = -1;
    onEvent(window, ge);
  } else if (!window && !consumed && ev.type == SDL_QUIT) {
    mQuitRequested = true;
  }
  // Dropped file names and texts are allocated by SDL for the receiver.
  if ((ev.type == SDL_DROPFILE || ev.type == SDL_DROPTEXT) && ev.drop.file) {
    SDL_free(ev.drop.file);
    ev.drop.file = nullptr;
  }
}

void GuiEngine::deliverQuit() {
  std::vector<AppWindow*> windows = GuiGlobalWindowList;
  for (AppWindow* w : windows) {
    if (std::find(GuiGlobalWindowList.begin(), GuiGlobalWindowList.end(), w) == GuiGlobalWindowList.end())
      continue;  // destroyed by an earlier notification
    SDL_Event raw;
    std::memset(&raw, 0, sizeof(raw));
    raw.type = SDL_WINDOWEVENT;
    raw.window.type = SDL_WINDOWEVENT;
    raw.window.event = SDL_WINDOWEVENT_CLOSE;
    GuiEvent ge;
    ge.type = GE_RawSDL;
    ge.window_id = 0;
    ge.raw = &raw;
    ge.x = ge.y = 0;
    ge.mEventObject = nullptr;
    ge.mId = -1;
    onEvent(w, ge);
  }
}

void GuiEngine::releaseAllRetired() {
  auto& m = _retireMap();
  for (auto& entry : m)
    for (auto& bin : entry.second.bins) {
      for (SDL_Texture* t : bin) SDL_DestroyTexture(t);
      bin.clear();
    }
  m.clear();
}

bool GuiEngine::runTurn() {
  if (mQuitting) {
    releaseAllRetired();
    SDL_StopTextInput();
    return false;
  }
  const Uint32 turnStart = GuiTicks();

  SDL_Event ev;
  if (pollEvent(ev)) {
    requestFrame();
    if (ev.type == SDL_WINDOWEVENT) {
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          // Closing any top-level window quits; every window is told once below.
          ev.window.event = SDL_WINDOWEVENT_NONE;
          mQuitRequested = true;
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
          auto it = mWindows.find(ev.window.windowID);
          if (it != mWindows.end() && it->second) {
            AppWindow* w = it->second;
            resizeAppWindow(w, ev.window.data1, ev.window.data2);
            if (w->main_window) w->main_window->resize(w->renderer, ev.window.data1, ev.window.data2);
          }
          break;
        }
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          mActiveWindowId = ev.window.windowID;
          break;
        default:
          break;
      }
    } else if (ev.type == SDL_MOUSEBUTTONDOWN) {
      mActiveWindowId = ev.button.windowID;
    }
    if (mActiveWindowId == 0) {
      if (SDL_Window* kf = SDL_GetKeyboardFocus()) mActiveWindowId = SDL_GetWindowID(kf);
    }
    routeEvent(ev);
  }
  processDestroyRequests();

  if (mDemoRunner) {
    if (runnerRunning()) requestFrame();
    mDemoRunner->update(GuiTicks());
  }

  if (mQuitRequested && !mQuitting) {
    deliverQuit();
    mQuitting = true;
  }

  std::vector<AppWindow*> windows = GuiGlobalWindowList;
  for (AppWindow* w : windows) {
    if (std::find(GuiGlobalWindowList.begin(), GuiGlobalWindowList.end(), w) == GuiGlobalWindowList.end())
      continue;
    if (w->window) {
      int sw = 0, sh = 0;
      SDL_GetWindowSize(w->window, &sw, &sh);
      if (sw > 0 && sh > 0 && (sw != w->w || sh != w->h)) {
        resizeAppWindow(w, sw, sh);
        if (w->main_window) w->main_window->resize(w->renderer, sw, sh);
      }
    }
    SDL_Renderer* renderer = w->renderer;
    onFrame(w);
    if (renderer && std::find(GuiGlobalWindowList.begin(), GuiGlobalWindowList.end(), w) != GuiGlobalWindowList.end())
      GuiAdvanceRetireRing(renderer);
  }

  finishFrame();
  if (!g_tickSource) {
    const Uint32 elapsed = GuiTicks() - turnStart;
    if (elapsed < mFramePeriod) SDL_Delay(mFramePeriod - elapsed);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Windows

AppWindow* GuiEngine::createBareAppWindow(GuiEngine* engine, const std::string& title, int x, int y, int w, int h,
                                          Uint32 sdlWindowFlags) {
  requestFrame();
  AppWindow* rec = new AppWindow();
  rec->window = SDL_CreateWindow(title.c_str(), x, y, w, h, sdlWindowFlags);
  if (!rec->window) {
    std::string err = SDL_GetError();
    CK_ERROR("cannot create window \"%s\": %s", title.c_str(), err.c_str());
    delete rec;
    throw std::runtime_error(err);
  }
  const Uint32 rflags = isRunningUnderWine() ? SDL_RENDERER_SOFTWARE : SDL_RENDERER_ACCELERATED;
  rec->renderer = SDL_CreateRenderer(rec->window, -1, rflags);
  if (!rec->renderer && rflags != SDL_RENDERER_SOFTWARE) {
    // No accelerated renderer (no GPU, dummy video driver): draw in software.
    CK_WARN("no accelerated renderer (%s), using the software renderer", SDL_GetError());
    rec->renderer = SDL_CreateRenderer(rec->window, -1, SDL_RENDERER_SOFTWARE);
  }
  if (!rec->renderer) {
    std::string err = SDL_GetError();
    CK_ERROR("cannot create renderer for window \"%s\": %s", title.c_str(), err.c_str());
    SDL_DestroyWindow(rec->window);
    delete rec;
    throw std::runtime_error(err);
  }
  SDL_SetWindowData(rec->window, "AppWindow", rec);
  SDL_RenderSetLogicalSize(rec->renderer, w, h);
  rec->gui_engine = engine;
  rec->w = w;
  rec->h = h;
  return rec;
}

bool GuiEngine::finishAppWindow(AppWindow* rec, const std::string& title, int w, int h) {
  if (!rec || !rec->window || w < 1 || h < 1) return false;
  rec->w = w;
  rec->h = h;
  if (unsigned char* pixels = allocateCairoPixels(w, h)) attachCairoBuffer(rec, pixels, w, h);
  rec->id = SDL_GetWindowID(rec->window);
  if (rec->id == 0 || !rec->pixels) {
    CK_ERROR("cannot finish window \"%s\": %s", title.c_str(), rec->pixels ? "no window id" : "out of memory");
    releaseCairoBuffer(rec);
    if (rec->renderer) {
      OnRendererDestroyed(rec->renderer);
      SDL_DestroyRenderer(rec->renderer);
      rec->renderer = nullptr;
    }
    SDL_DestroyWindow(rec->window);
    rec->window = nullptr;
    rec->id = 0;
    return false;
  }
  mWindows.emplace(rec->id, rec);
  rec->title = title;
  SDL_SetWindowTitle(rec->window, title.c_str());
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  SDL_RenderSetIntegerScale(rec->renderer, SDL_TRUE);
  SDL_SetRenderDrawBlendMode(rec->renderer, SDL_BLENDMODE_BLEND);
  SDL_RaiseWindow(rec->window);
  cairo_set_operator(rec->cr, CAIRO_OPERATOR_CLEAR);
  cairo_paint(rec->cr);
  cairo_set_operator(rec->cr, CAIRO_OPERATOR_OVER);
  GuiGlobalWindowList.push_back(rec);
  if (mActiveWindowId == 0) mActiveWindowId = rec->id;
  return true;
}

AppWindow* GuiEngine::createWithRoot(GuiEngine* engine, const std::string& title, int x, int y, int w, int h,
                                     Uint32 flags, SDL_Color background, bool dialog) {
  AppWindow* rec = createBareAppWindow(engine, title, x, y, w, h, flags);
  GuiWindow* root = dialog ? new GuiDialog(rec, -1, 0, 0, w, h, background) : new GuiWindow(rec, -1, 0, 0, w, h, background);
  rec->main_window = root;
  if (!finishAppWindow(rec, title, w, h)) {
    delete root;
    if (rec->renderer) {
      OnRendererDestroyed(rec->renderer);
      SDL_DestroyRenderer(rec->renderer);
    }
    if (rec->window) SDL_DestroyWindow(rec->window);
    delete rec;
    return nullptr;
  }
  return rec;
}

AppWindow* GuiEngine::createAppWindow(GuiEngine* engine, const std::string& title, int x, int y, int w, int h,
                                      Uint32 sdlWindowFlags, SDL_Color background) {
  return createWithRoot(engine, title, x, y, w, h, sdlWindowFlags, background, false);
}

AppWindow* GuiEngine::createAppDialog(GuiEngine* engine, const std::string& title, int x, int y, int w, int h,
                                      Uint32 sdlWindowFlags, SDL_Color background) {
  resolveDialogPosition(x, y, w, h);
  AppWindow* rec = createWithRoot(engine, title, x, y, w, h, sdlWindowFlags, background, true);
  if (rec) attachDialog(rec);
  return rec;
}

void GuiEngine::resolveDialogPosition(int& x, int& y, int w, int h) const {
  if (!MainAppWindow || !MainAppWindow->window) return;
  SDL_Rect over{0, 0, 0, 0};
  SDL_GetWindowPosition(MainAppWindow->window, &over.x, &over.y);
  SDL_GetWindowSize(MainAppWindow->window, &over.w, &over.h);
  SDL_Rect bounds{0, 0, 0, 0};
  const int display = SDL_GetWindowDisplayIndex(MainAppWindow->window);
  if (display >= 0 && SDL_GetDisplayUsableBounds(display, &bounds) != 0) bounds = SDL_Rect{0, 0, 0, 0};
  int cx = 0, cy = 0;
  GuiCenterOver(over, bounds, w, h, cx, cy);
  if (isCenteredPosition(x)) x = cx;
  if (isCenteredPosition(y)) y = cy;
}

void GuiEngine::attachDialog(AppWindow* window) const {
  if (!window || !window->window) return;
  if (!MainAppWindow || !MainAppWindow->window || window == MainAppWindow) return;
  SDL_SetWindowModalFor(window->window, MainAppWindow->window);
}

void GuiEngine::openModal(GuiWindow* root) {
  requestFrame();
  mSavedEditable = mActiveEditable;
  mActiveEditable = nullptr;
  mModalWindow = root;
  for (auto& entry : mWindows) {
    AppWindow* w = entry.second;
    if (w && w->main_window && w->main_window != root) w->main_window->cancelMouseCapture();
  }
}

AppWindow* GuiEngine::activeAppWindow() const {
  auto it = mWindows.find(mActiveWindowId);
  return it == mWindows.end() ? nullptr : it->second;
}

void GuiEngine::resizeAppWindow(AppWindow* window, int w, int h) {
  requestFrame();
  if (!window || w < 1 || h < 1) return;
  if (w == window->w && h == window->h) return;
  unsigned char* pixels = allocateCairoPixels(w, h);
  if (!pixels) return;  // keep the old buffer rather than lose the window's surface
  releaseCairoBuffer(window);
  attachCairoBuffer(window, pixels, w, h);
  if (window->renderer) SDL_RenderSetLogicalSize(window->renderer, w, h);
}

void GuiEngine::applyStartWindowSize() {
  if (mStartSizeApplied || !MainAppWindow) return;
  mStartSizeApplied = true;
  SDL_Window* win = MainAppWindow->window;
  if (!win) return;
  if (mStartFullscreen) {
    if (SDL_SetWindowFullscreen(win, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
      SDL_Log("Desktop-Vollbild fehlgeschlagen: %s", SDL_GetError());
  } else if (mStartWidth >= 1 && mStartHeight >= 1) {
    int index = SDL_GetWindowDisplayIndex(win);
    if (index < 0) index = 0;
    SDL_SetWindowSize(win, mStartWidth, mStartHeight);
    SDL_SetWindowPosition(win, SDL_WINDOWPOS_CENTERED_DISPLAY(index), SDL_WINDOWPOS_CENTERED_DISPLAY(index));
  } else {
    return;
  }
  int w = 0, h = 0;
  SDL_GetWindowSize(win, &w, &h);
  resizeAppWindow(MainAppWindow, w, h);
  if (MainAppWindow->main_window) MainAppWindow->main_window->resize(MainAppWindow->renderer, w, h);
}

void GuiEngine::toggleFullscreen() {
  if (!MainAppWindow || !MainAppWindow->window) return;
  SDL_Window* win = MainAppWindow->window;
  const Uint32 flags = SDL_GetWindowFlags(win);
  const Uint32 target = (flags & SDL_WINDOW_FULLSCREEN) ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (SDL_SetWindowFullscreen(win, target) != 0)
    SDL_Log("Fenstermodus konnte nicht gewechselt werden: %s", SDL_GetError());
}

bool GuiEngine::handleFullscreenKey(const SDL_Event& event) {
  if (event.type != SDL_KEYDOWN) return false;
  if (event.key.keysym.sym != mFullscreenKey) return false;
  if ((event.key.keysym.mod & 0x0FC3) != 0) return false;
  if (!MainAppWindow || event.key.windowID != MainAppWindow->id) return false;
  if (mModalWindow || mDemoRunner) return false;
  if (!event.key.repeat) toggleFullscreen();
  return true;
}

void GuiEngine::processDestroyRequests() {
  std::vector<Uint32> requests;
  requests.swap(mDestroyRequests);
  for (Uint32 id : requests) destroyWindow(id);
}

namespace {

// True when the text-input target is a widget of the given window.
bool editableBelongsTo(IEditable* ed, AppWindow* rec) {
  if (!ed) return false;
  GuiObject* obj = dynamic_cast<GuiObject*>(ed);
  if (!obj) return false;
  if (obj == rec->main_window) return true;
  return obj->mWindow && obj->mWindow->mAppWindow == rec;
}

}  // namespace

bool GuiEngine::destroyWindow(Uint32 id) {
  requestFrame();
  auto it = mWindows.find(id);
  if (it == mWindows.end()) {
    CK_WARN("no window with id %u", static_cast<unsigned>(id));
    return false;
  }
  AppWindow* rec = it->second;

  if (id == mActiveWindowId) {
    // The next active window is the earliest created other window.
    Uint32 next = 0;
    for (AppWindow* w : GuiGlobalWindowList)
      if (w && w != rec && w->id != id && mWindows.count(w->id)) {
        next = w->id;
        break;
      }
    if (next == 0) {
      for (auto& entry : mWindows)
        if (entry.first != id) {
          next = entry.first;
          break;
        }
    }
    if (next == 0) {
      if (SDL_Window* kf = SDL_GetKeyboardFocus()) {
        Uint32 kid = SDL_GetWindowID(kf);
        if (kid != id) next = kid;
      }
    }
    mActiveWindowId = next;
  }

  if (rec) {
    GuiGlobalWindowList.erase(std::remove(GuiGlobalWindowList.begin(), GuiGlobalWindowList.end(), rec),
                              GuiGlobalWindowList.end());
    if (MainAppWindow == rec) MainAppWindow = nullptr;

    if (rec->main_window && rec->main_window == mModalWindow) {
      mActiveEditable = mSavedEditable;
      mModalWindow = nullptr;
    }
    if (editableBelongsTo(mActiveEditable, rec)) mActiveEditable = nullptr;
    if (editableBelongsTo(mSavedEditable, rec)) mSavedEditable = nullptr;

    delete rec->main_window;
    rec->main_window = nullptr;

    if (rec->renderer) OnRendererDestroyed(rec->renderer);

    if (rec->texture) SDL_DestroyTexture(rec->texture);
    rec->texture = nullptr;
    releaseCairoBuffer(rec);

    if (rec->window) SDL_SetWindowData(rec->window, "AppWindow", nullptr);
    if (rec->renderer) SDL_DestroyRenderer(rec->renderer);
    if (rec->window) SDL_DestroyWindow(rec->window);
  }
  mWindows.erase(id);
  delete rec;
  return true;
}
