// Test fixture of the editor panel: a real SDL renderer (the dummy video
// driver is enough), fresh settings and map, and a panel at (10, 170) as the
// main window places it. Events are fed through the panel's handleEvent the
// way the root window delivers them: raw SDL events with the pointer position
// relative to the panel.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "Connection.h"
#include "Map.h"
#include "MapLayer.h"
#include "Settings.h"
#include "Shape.h"
#include "VelmarisPanel.h"
#include "global.h"

class PanelEnvironment {
public:
    // One SDL window and renderer for the whole test program; the working
    // directory becomes a fresh temporary directory so that the settings file
    // written by Settings stays out of the source tree.
    static SDL_Renderer* renderer() {
        static PanelEnvironment env;
        return env.mRenderer;
    }
    static const std::string& dir() {
        renderer();
        return sDir;
    }

private:
    PanelEnvironment() {
        char tmpl[] = "/tmp/velmaris-panel-XXXXXX";
        const char* d = mkdtemp(tmpl);
        if (d) {
            sDir = d;
            if (chdir(d) != 0) sDir.clear();
        }
        if (!getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_Init(SDL_INIT_VIDEO);
        mWindow = SDL_CreateWindow("panel-test", 0, 0, 800, 600, SDL_WINDOW_HIDDEN);
        mRenderer = mWindow ? SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    }
    ~PanelEnvironment() {
        if (mRenderer) SDL_DestroyRenderer(mRenderer);
        if (mWindow) SDL_DestroyWindow(mWindow);
        SDL_Quit();
        if (!sDir.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(sDir, ec);
        }
    }
    SDL_Window* mWindow = nullptr;
    SDL_Renderer* mRenderer = nullptr;
    static inline std::string sDir;
};

class PanelTest : public ::testing::Test {
protected:
    static constexpr int kPanelX = 10, kPanelY = 170, kPanelW = 400, kPanelH = 300;

    VelmarisPanel* panel = nullptr;
    Map* map = nullptr;

    void SetUp() override {
        ASSERT_NE(PanelEnvironment::renderer(), nullptr) << SDL_GetError();
        global_translate_x = global_translate_y = 0.5;
        global_scale_x = global_scale_y = 1.0;
        GlobalMoveMap = false;
        GlobalMapX = GlobalMapY = 0;
        GlobalSettings = new Settings();
        GlobalMap = map = new Map();
        panel = new VelmarisPanel(nullptr, -1, kPanelX, kPanelY, kPanelW, kPanelH,
                                  SDL_Color{255, 255, 255, 255}, PanelEnvironment::renderer());
    }

    void TearDown() override {
        delete panel;
        delete GlobalMap;
        delete GlobalSettings;
        GlobalMap = nullptr;
        GlobalSettings = nullptr;
        s1 = s2 = nullptr;
    }

    // Starts from an empty diagram (the sample shapes removed).
    void emptyMap() {
        panel->clearSelectionPreview();
        map->clear();
        s1 = s2 = nullptr;
    }

    // Panel pixel of a world point, as a screenplay would point at it.
    SDL_Point pixelOf(double wx, double wy) {
        SDL_Rect r;
        EXPECT_TRUE(panel->partRect(pointName(wx, wy), r));
        return SDL_Point{r.x - panel->mX, r.y - panel->mY};
    }
    static std::string pointName(double x, double y) {
        return "@" + std::to_string(x) + "," + std::to_string(y);
    }

    void send(SDL_Event& e, int px, int py) {
        GuiEvent ev;
        ev.type = GE_RawSDL;
        ev.raw = &e;
        ev.x = px;
        ev.y = py;
        panel->handleEvent(ev);
    }

    // Pointer events at panel pixels.
    void pressPx(int px, int py, Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = button;
        e.button.state = SDL_PRESSED;
        e.button.x = px + kPanelX;
        e.button.y = py + kPanelY;
        mButtons |= SDL_BUTTON(button);
        send(e, px, py);
    }
    void releasePx(int px, int py, Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONUP;
        e.button.button = button;
        e.button.state = SDL_RELEASED;
        e.button.x = px + kPanelX;
        e.button.y = py + kPanelY;
        mButtons &= ~SDL_BUTTON(button);
        send(e, px, py);
    }
    void movePx(int px, int py) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.state = mButtons;
        e.motion.x = px + kPanelX;
        e.motion.y = py + kPanelY;
        send(e, px, py);
    }

    // The same in world units.
    void press(double wx, double wy, Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Point p = pixelOf(wx, wy);
        pressPx(p.x, p.y, button);
    }
    void release(double wx, double wy, Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Point p = pixelOf(wx, wy);
        releasePx(p.x, p.y, button);
    }
    void move(double wx, double wy) {
        SDL_Point p = pixelOf(wx, wy);
        movePx(p.x, p.y);
    }
    // Press, a few motions on the way, release.
    void drag(double x1, double y1, double x2, double y2, int steps = 4) {
        press(x1, y1);
        for (int i = 1; i <= steps; ++i)
            move(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
        release(x2, y2);
    }

    void key(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
        e.key.keysym.mod = mod;
        send(e, 0, 0);
    }
    // A wheel event with the pointer at panel pixel (px, py) (the middle by
    // default).
    void wheel(int amount, int px = kPanelW / 2, int py = kPanelH / 2) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = amount;
        e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        e.wheel.mouseX = kPanelX + px;
        e.wheel.mouseY = kPanelY + py;
        send(e, 0, 0);
    }

    // World position of vertex node n of a shape.
    static SDL_FPoint nodeAt(Shape* s, int n) {
        return SDL_FPoint{(float)s->mShapeNodes[n]->mX, (float)s->mShapeNodes[n]->mY};
    }
    size_t connectionCount() const { return map->mMapLayer[0]->mConnections.size(); }
    size_t shapeCount() const { return map->mMapLayer[0]->mShapes.size(); }

    // Pixel of the panel's last drawn frame at panel pixel (x, y), as 0xRRGGBB.
    uint32_t pixel(int x, int y) {
        cairo_surface_flush(panel->mSurface);
        const unsigned char* row = panel->mPixels + y * panel->mStride;
        return *reinterpret_cast<const uint32_t*>(row + x * 4) & 0xffffff;
    }

    Uint32 mButtons = 0;
};
