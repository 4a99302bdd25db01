#include "FixtureApp.h"

#include "GuiButton.h"
#include "GuiLabel.h"
#include "GuiStatusBar.h"
#include "GuiWindow.h"

#include <stdexcept>

namespace {

const SDL_Color kFace{0, 0, 0, 0};
const SDL_Color kWindowBackground{200, 200, 200, 255};

GuiLabel* addLabel(GuiWindow* root, const char* name, int x, int y, int w, const std::string& text)
{
    auto* label = root->addChild(new GuiLabel(nullptr, -1, x, y, w, 24, kWindowBackground, text,
                                              GuiDefaultFont, GuiLabel::LABEL_LEFT));
    label->setName(name);
    return label;
}

GuiButton* addButton(GuiWindow* root, const char* name, int id, int x, int y, const char* label, int flags)
{
    auto* button = root->addChild(new GuiButton(nullptr, id, x, y, 120, 30, kFace, label, GuiDefaultFont, flags));
    button->setName(name);
    return button;
}

std::string keyText(const SDL_Keysym& k)
{
    std::string text;
    if (k.mod & KMOD_CTRL) text += "ctrl+";
    if (k.mod & KMOD_SHIFT) text += "shift+";
    if (k.mod & KMOD_ALT) text += "alt+";
    return text + SDL_GetKeyName(k.sym);
}

} // namespace

FixtureApp::FixtureApp()
{
    GlobalGuiEngine = this;
    mMain = createAppWindow(this, kMainTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 520, 360, 0,
                            kWindowBackground);
    if (!mMain || !mMain->main_window) throw std::runtime_error("fixture window could not be created");
    MainAppWindow = mMain;
    mMain->main_window->setName("hauptfenster");

    GuiWindow* root = mMain->main_window;
    addButton(root, "ok", ID_OK, 20, 20, "OK", 0);
    addButton(root, "zweitfenster", ID_OPEN_SECOND, 160, 20, "Zweitfenster", 0);
    addButton(root, "raster", ID_TOGGLE, 300, 20, "Raster", 1);
    addButton(root, "langsam", ID_SLOW, 20, 60, "Langsam", 0);
    // Named covered button: the label added after it lies on top of it.
    addButton(root, "verdeckt", ID_COVERED, 380, 200, "Verdeckt", 0);
    addLabel(root, "deckel", 380, 200, 120, "Deckel")->mHeight = 30;
    // Unnamed push button, for descriptions of unnamed widgets.
    root->addChild(new GuiButton(nullptr, -1, 380, 250, 120, 30, kFace, "Ohne Namen", GuiDefaultFont, 0));

    mMessage = addLabel(root, "meldung", 20, 110, 340, "");
    mKeyLabel = addLabel(root, "taste", 20, 140, 340, "");
    mTextLabel = addLabel(root, "text", 20, 170, 340, "");
    mWheelLabel = addLabel(root, "rad", 20, 200, 340, "0");

    mStatus = root->addChild(new GuiStatusBar(nullptr, -1, SDL_Color{230, 230, 230, 255}, GuiDefaultFont));
    mStatus->setName("statusleiste");
    mStatus->mY = 360 - mStatus->mHeight;
    mStatus->setText("Bereit", 0);
}

FixtureApp::~FixtureApp()
{
    while (!mWindows.empty()) destroyWindow(mWindows.begin()->first);
    if (GlobalGuiEngine == this) GlobalGuiEngine = nullptr;
}

void FixtureApp::openSecond()
{
    if (mSecond) return;
    mSecond = createAppWindow(this, kSecondTitle, 40, 40, 260, 120, 0, kWindowBackground);
    if (!mSecond || !mSecond->main_window) return;
    addButton(mSecond->main_window, "schliessen", ID_CLOSE_SECOND, 20, 40, "Schließen", 0);
}

void FixtureApp::onCommand(const GuiEvent& event)
{
    mCommands.push_back(event.cmd.cmd_id);
    if (event.cmd.cmd_id != GUI_CMD_BUTTON) return;
    switch (event.cmd.source_id) {
    case ID_OK:
        ++mOkClicks;
        mMessage->setValueText("OK gedrückt " + std::to_string(mOkClicks));
        mStatus->setText("Klicks: " + std::to_string(mOkClicks), 0);
        break;
    case ID_OPEN_SECOND:
        openSecond();
        break;
    case ID_CLOSE_SECOND:
        if (mSecond) requestDestroy(mSecond->id);
        mSecond = nullptr;
        break;
    case ID_SLOW:
        // The message changes a while after the click, for waits on values.
        mSlowCountdown = 20;
        break;
    default:
        break;
    }
}

void FixtureApp::onRaw(AppWindow* window, const SDL_Event& e)
{
    // SIGTERM and SIGINT arrive as a quit event: end the application.
    if (e.type == SDL_QUIT) shutdown();
    if (window != mMain) return;
    switch (e.type) {
    case SDL_KEYDOWN:
        ++mKeyDowns;
        mKeyLabel->setValueText(keyText(e.key.keysym));
        break;
    case SDL_TEXTINPUT:
        mTextLabel->setValueText(mTextLabel->mText + e.text.text);
        break;
    case SDL_MOUSEWHEEL:
        mWheelSum += e.wheel.y;
        mWheelLabel->setValueText(std::to_string(mWheelSum));
        break;
    default:
        break;
    }
}

void FixtureApp::onEvent(AppWindow* window, GuiEvent& event)
{
    if (event.type == GE_Command) {
        onCommand(event);
        return;
    }
    if (!window || !window->main_window || !event.raw) return;
    onRaw(window, *event.raw);
    window->main_window->handleEvent(event);
}

void FixtureApp::onFrame(AppWindow* window)
{
    if (!window || !window->main_window) return;
    if (window == mMain && mSlowCountdown >= 0 && mSlowCountdown-- == 0) {
        mMessage->setValueText("Langsam fertig");
        requestFrame();
    }
    window->main_window->update(GuiTicks());
    if (!frameNeeded()) return;
    SDL_Renderer* renderer = window->renderer;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    window->main_window->render(renderer);
    if (afterRender) afterRender(window, renderer);
    SDL_RenderPresent(renderer);
}
