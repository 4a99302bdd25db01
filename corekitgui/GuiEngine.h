// GuiEngine: the base of the application object. Initialises SDL, SDL_image, SDL_ttf,
// FreeType and the default font, owns every top-level window (AppWindow records),
// runs the single-threaded main loop with frames on demand, holds the modal-dialog
// state and retires textures through a three-bin ring per renderer. The application
// derives from it and implements onEvent and onFrame.
#pragma once

#include "GuiTypes.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

class GuiDemoRunner;
class GuiWindow;

// ---------------------------------------------------------------------------
// Process-wide objects of the toolkit.
extern std::vector<AppWindow*> GuiGlobalWindowList;  // finished windows, creation order
extern AppWindow* MainAppWindow;                     // set by the application
extern GuiEngine* GlobalGuiEngine;                   // set by the application
extern TTF_Font* GuiDefaultFont;                     // 14 px, opened by the engine
extern FT_Face GuiDefaultFace;                       // same font, Unicode charmap, 14 px
extern FT_Library ft;
extern const unsigned char* GuiDefaultFontMemory;    // null: use the font file
extern unsigned long GuiDefaultFontMemorySize;
extern Uint32 GuiGlobalStartTime;                    // ticks at the start of run()

// Relative path of the default font, from the working directory.
extern const char* const GuiDefaultFontPath;

// Makes later font openings use this memory instead of the font file. Only effective
// before the engine is constructed.
void GuiSetDefaultFontMemory(const unsigned char* data, unsigned long size);
// Opens the default font at the given pixel size; null on failure (SDL error set).
TTF_Font* GuiOpenFontAtSize(int pixels);

void GuiSetWindowsDpiAware(bool on);
bool GuiWindowsDpiAware();
void GuiApplyWindowsDpiHint();
bool isRunningUnderWine();

// Centres a w x h box over `over`, then keeps it inside `bounds` when bounds has a
// positive size (a box larger than the bounds sits at their left/top edge).
void GuiCenterOver(const SDL_Rect& over, const SDL_Rect& bounds, int w, int h, int& x, int& y);

AppWindow* GuiFindWindowById(Uint32 id);

// Accepts "fullscreen" or WIDTHxHEIGHT with both numbers in 1..8192 (digits and one
// lower-case x only). On rejection the outputs are left untouched.
bool parseWindowSize(const std::string& text, int& w, int& h, bool& fullscreen);

// ---------------------------------------------------------------------------
// Time source of the toolkit. Every timing decision (tooltips, auto-repeat, upload
// throttling, the loop period) reads GuiTicks(). Tests install their own clock; while
// one is installed the main loop does not sleep.
typedef Uint32 (*GuiTickSource)();
Uint32 GuiTicks();
void GuiSetTickSource(GuiTickSource source);  // null restores SDL_GetTicks

// ---------------------------------------------------------------------------
// Texture retire ring: a texture given up by a widget or window is kept for two
// further loop turns of its renderer, because the renderer may still use it.
struct RetireBins {
  static constexpr int kBinCount = 3;
  int binCount = kBinCount;
  std::vector<SDL_Texture*> bins[kBinCount];
  int current = 0;
};

// Appends the texture to the current bin of its renderer. A null texture is ignored;
// without a renderer the texture is destroyed at once.
void GuiRetireTexture(SDL_Renderer* renderer, SDL_Texture* texture);
// Advances the renderer's ring by one bin and destroys the textures found there.
void GuiAdvanceRetireRing(SDL_Renderer* renderer);
// Number of textures waiting in the ring of a renderer (diagnostics and tests).
size_t GuiRetiredTextureCount(SDL_Renderer* renderer);
// Destroys every retired texture of that renderer and forgets the renderer.
void OnRendererDestroyed(SDL_Renderer* renderer);

// ---------------------------------------------------------------------------
class GuiEngine {
 public:
  // Thrown when SDL_ttf cannot be initialised (code 0).
  class Error {
   public:
    explicit Error(int code) : mCode(code) {}
    int code() const { return mCode; }
   private:
    int mCode;
  };

  bool mQuitRequested;
  bool mQuitting;
  bool mWindowFocused;          // written by the application
  Uint32 mActiveWindowId;       // receives events without a window id
  IEditable* mSavedEditable;    // text-input target saved while a modal window runs
  std::unordered_map<Uint32, AppWindow*> mWindows;
  std::vector<Uint32> mDestroyRequests;
  std::deque<SDL_Event> mInjectedEvents;  // served before real events
  GuiDemoRunner* mDemoRunner;   // not owned
  GuiWindow* mModalWindow;
  IEditable* mActiveEditable;   // set by GuiWindow::setFocus
  int mTargetFps;
  bool mFramesOnDemand;
  int mStartWidth, mStartHeight;
  bool mStartFullscreen;
  bool mStartSizeApplied;
  SDL_Keycode mFullscreenKey;

  static bool sFrameRequested;
  static bool sFrameRequestedNext;

  GuiEngine();
  virtual ~GuiEngine();
  // Called once per loop turn for every window; decides itself whether to draw.
  virtual void onFrame(AppWindow* window) = 0;
  // Receives every routed raw SDL event and every command event.
  virtual void onEvent(AppWindow* window, GuiEvent& event) = 0;
  // The main loop; returns when the application has quit.
  virtual void run();

  // The main loop in pieces, for hosts that drive the turns themselves: runStart
  // prepares the loop, runTurn runs one turn and returns false once the loop is over.
  void runStart();
  bool runTurn();

  // Removes "--window-size VALUE" from the argument vector; false on a bad option.
  bool takeCommandLineOptions(int& argc, char** argv);

  void shutdown() { mQuitRequested = true; }

  static void requestFrame();
  static void finishFrame();
  bool frameNeeded() const;
  void setFramesOnDemand(bool on) { mFramesOnDemand = on; }
  void setDemoRunner(GuiDemoRunner* runner) { mDemoRunner = runner; }

  // Next event: injected ones first, real motion coalesced to the newest.
  bool pollEvent(SDL_Event& event);

  AppWindow* createAppWindow(GuiEngine* engine, const std::string& title, int x, int y, int w, int h,
                             Uint32 sdlWindowFlags, SDL_Color background);
  AppWindow* createAppDialog(GuiEngine* engine, const std::string& title, int x, int y, int w, int h,
                             Uint32 sdlWindowFlags, SDL_Color background);
  // SDL window, renderer and record only; throws std::runtime_error when SDL fails.
  AppWindow* createBareAppWindow(GuiEngine* engine, const std::string& title, int x, int y, int w, int h,
                                 Uint32 sdlWindowFlags);
  // Makes the cairo buffer and registers the window. On false the SDL window has been
  // destroyed; the caller releases the root and the record.
  bool finishAppWindow(AppWindow* window, const std::string& title, int w, int h);
  void resolveDialogPosition(int& x, int& y, int w, int h) const;
  void attachDialog(AppWindow* window) const;
  void openModal(GuiWindow* root);
  AppWindow* activeAppWindow() const;
  void resizeAppWindow(AppWindow* window, int w, int h);
  void applyStartWindowSize();
  void toggleFullscreen();
  bool handleFullscreenKey(const SDL_Event& event);
  void requestDestroy(Uint32 id) { mDestroyRequests.push_back(id); }
  void processDestroyRequests();
  bool destroyWindow(Uint32 id);

  GuiEngine(const GuiEngine&) = delete;
  GuiEngine& operator=(const GuiEngine&) = delete;

 private:
  bool runnerRunning() const;
  void routeEvent(SDL_Event& event);
  void deliverQuit();
  void releaseAllRetired();
  AppWindow* createWithRoot(GuiEngine* engine, const std::string& title, int x, int y, int w, int h,
                            Uint32 flags, SDL_Color background, bool dialog);

  Uint32 mFramePeriod = 16;
};
