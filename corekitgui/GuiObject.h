// GuiObject: the base of every visible element of the toolkit, a rectangle in window
// coordinates with an id, an automation name, a background colour, a tooltip and the
// virtual operations for drawing, input and automation. Widgets are owned by their
// root GuiWindow, which deletes them in its destructor or through its destroy queue.
#pragma once

#include "GuiTypes.h"

#include <SDL.h>

#include <string>

class GuiWindow;

class GuiObject {
 public:
  int mX, mY;            // position in window coordinates
  int mRelX, mRelY;      // position as constructed, relative to the root
  int mWidth, mHeight;
  GuiObject* mParent;    // the root once added (or opened as a popup)
  GuiWindow* mWindow;    // root window; null for a root itself
  int mId;               // -1 when the widget needs none
  SDL_Color mBackground;
  bool mFocused;
  std::string mTooltip;  // empty: no tooltip
  std::string mName;     // automation name; empty: unnamed
  SDL_Texture* mCacheTexture;  // render-cache texture, owned; retired on destruction
  bool mDirty;           // the cache must be redrawn

  GuiObject(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color background);

  // Virtual operations; the order is part of the toolkit's interface.
  virtual GuiObject* tooltipTarget();
  virtual GuiObject* findByName(const std::string& name);
  virtual bool partRect(const std::string& part, SDL_Rect& out) const;
  virtual bool findPart(const std::string& part, GuiObject*& owner, SDL_Rect& out);
  virtual bool getValueText(std::string& out) const;
  virtual bool setValueText(const std::string& value);
  virtual bool getValueTextOf(const std::string& part, std::string& out) const;
  virtual bool setValueTextOf(const std::string& part, const std::string& value);
  // The object under a window point (right and bottom edges exclusive), or null.
  virtual GuiObject* objectAt(int x, int y);
  virtual bool wantsMouseWheel() const;
  virtual GuiObject* wheelTargetAt(int x, int y);
  virtual bool wantsRenderCache() const;
  virtual const char* className() const;
  virtual void update(Uint32 now);
  virtual void render(SDL_Renderer* renderer);
  virtual void resize(SDL_Renderer* renderer, int w, int h);
  virtual void handleEvent(GuiEvent& event) = 0;
  virtual void onMouseEnter(int x, int y);
  virtual void onMouseLeave();
  virtual void loseFocus();
  virtual void refreshLayout();
  // Hands the cache texture to the retire ring of the root's renderer.
  virtual ~GuiObject();

  void setName(const std::string& name) { mName = name; }

  // Marks the widget for redrawing (render cache) and requests a frame. Every widget
  // calls it whenever its appearance changes.
  void invalidate();

  // Hands the widget to its root's destroy queue; it is deleted after the current
  // event. Does nothing for a widget without root.
  void requestDestroy();

  // Value texts of the automation surface: numbers as printf's %.15g in the classic
  // locale; parsing accepts leading blanks but nothing after the number.
  static std::string formatValue(double value);
  static bool parseValue(const std::string& text, double& out);
  // "1"/"true" and "0"/"false", exactly; anything else fails and leaves out.
  static bool parseValue(const std::string& text, bool& out);

  GuiObject(const GuiObject&) = delete;
  GuiObject& operator=(const GuiObject&) = delete;
};
