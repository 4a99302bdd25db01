// GuiButton: a push or toggle button with a text label and a 3-D bevel, optionally
// auto-repeating while held. A click (or a repeat) is reported as GUI_CMD_BUTTON;
// listeners hear every press and value change. GuiButtonGroup makes toggle buttons
// behave like radio buttons. Buttons are owned by their root; fonts are not.
#pragma once

#include "GuiObject.h"

#include <SDL_ttf.h>

#include <functional>
#include <string>
#include <vector>

class GuiButton : public GuiObject {
 public:
  enum { BUTTON_TOGGLE = 1, BUTTON_AUTOREPEAT = 2 };

  std::string mLabel;
  bool mPressed;        // push button held down, or toggle button on
  int mFlags;           // BUTTON_TOGGLE, BUTTON_AUTOREPEAT (push buttons only)
  TTF_Font* mFont;      // may be null: no label
  Uint32 mRepeatDelay;  // ms from press to the first repeat
  Uint32 mRepeatInterval;
  // Called with (button, mPressed) after every press and every value change; the
  // owner appends to it directly.
  std::vector<std::function<void(GuiButton*, bool)>> mListeners;
  Uint32 mPressTime, mLastRepeat;
  bool mRepeatFired;    // a repeat was sent during the current press

  // The colour's alpha is forced to 0, which selects the bevel look.
  GuiButton(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color, std::string label,
            TTF_Font* font, int flags);

  // A non-zero alpha draws a flat face of that colour instead of the bevel.
  void setBackgroundColor(SDL_Color color);
  bool getPressedValue(std::string& out) const;
  // Accepts "1", "true", "0", "false"; listeners hear a real change only.
  bool setPressedValue(const std::string& text);
  void renderFrame(SDL_Renderer* renderer);

  bool getValueText(std::string& out) const override;
  bool setValueText(const std::string& value) override;
  bool wantsRenderCache() const override;
  const char* className() const override;
  void update(Uint32 now) override;
  void render(SDL_Renderer* renderer) override;
  void handleEvent(GuiEvent& event) override;
  ~GuiButton() override;

 protected:
  void notifyListeners();
  void sendClick();
};

// Makes a set of toggle buttons exclusive. Does not own the buttons.
class GuiButtonGroup {
 public:
  std::vector<GuiButton*> mButtons;
  GuiButton* selected = nullptr;  // kept for callers; not used by the group itself
  bool allowNone = false;         // kept for callers; not used by the group itself

  // Appends the button and a listener that releases the other buttons of the group.
  void add(GuiButton* button);
  void onButtonToggled(GuiButton* button, bool pressed);
  // The first pressed button of the group, or null.
  GuiButton* getSelected();
};
