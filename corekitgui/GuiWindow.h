// GuiWindow: the root widget of one top-level window. It owns a flat list of child
// widgets (popups are children too), routes raw SDL events to one of them (popup,
// capture, focus or the widget under the pointer), turns widget actions into command
// events for the application, shows tooltips, defers widget deletion to the end of
// the current event and renders the children, optionally through a per-widget
// texture cache. Owned by its AppWindow record.
#pragma once

#include "GuiObject.h"

#include <vector>

class GuiEngine;
class GuiMenuBar;

class GuiWindow : public GuiObject {
 public:
  std::vector<GuiObject*> mChildren;      // owned, drawing order (last on top)
  std::vector<GuiObject*> mDestroyQueue;  // deleted by processDestroyQueue
  AppWindow* mAppWindow;
  GuiObject* mFocus;
  GuiObject* mCapture;
  GuiObject* mHover;
  std::vector<GuiObject*> mPopups;        // open popups, bottom to top
  GuiObject* mActivePopup;
  GuiEngine* mEngine;
  SDL_Texture* mScratchTexture;           // window-sized target to redraw cached widgets
  bool mCacheChecked;
  bool mCacheSupported;
  int mCacheCooldown;                     // frames left without caching
  GuiObject* mTooltipObject;
  Uint32 mTooltipSince;
  bool mTooltipVisible;
  int mMouseX, mMouseY;                   // last pointer position of a motion event

  GuiWindow(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color background);

  // Takes ownership of the child: sets its parent and root, offsets it by the root's
  // position, lets it lay itself out and appends it (drawn on top).
  GuiObject* addChild(GuiObject* child);
  template <class T>
  T* addChild(T* child) {
    addChild(static_cast<GuiObject*>(child));
    return child;
  }

  void setFocus(GuiObject* w);

  void openPopup(GuiObject* p);
  void closeTopPopup(bool unused);
  void closeAllPopups(bool resetMenuBar);
  void closePopupsAfter(GuiObject* p);
  GuiObject* topmostPopupAt(int x, int y) const;
  bool pointInAnyPopup(int x, int y) const;
  GuiMenuBar* findMenuBar() const;

  // Sends a command event synchronously to the application's onEvent. Dropped while
  // another window's dialog is modal.
  void dispatchCommand(int cmdId, int sourceId, long param, GuiObject* source);

  void enqueueDestroy(GuiObject* w);
  void processDestroyQueue();

  // Top-most direct child containing the point; out gets the point relative to it.
  bool hitTestLocal(int x, int y, HitInfo& out) const;

  // Visible part of an object (or of a rectangle inside it); false when it is clipped
  // away, covered by another widget or popup, or not in this root.
  bool locate(const GuiObject* obj, GuiLocation& out);
  bool locate(const GuiObject* obj, const SDL_Rect& rect, GuiLocation& out);

  // Ends a pointer capture, telling the holder with a synthetic button release.
  void cancelMouseCapture();

  // Moves the root (-1 keeps a coordinate) and re-places every child.
  void move(int x, int y);

  void updateTooltip(Uint32 now);
  void updateTooltipState(Uint32 now);
  void renderTooltip(SDL_Renderer* renderer);

  // Leaves and queues the active popup for deletion; the argument is ignored.
  void closePopup(bool unused);

  GuiObject* findByName(const std::string& name) override;
  bool findPart(const std::string& part, GuiObject*& owner, SDL_Rect& out) override;
  GuiObject* objectAt(int x, int y) override;
  const char* className() const override;
  void update(Uint32 now) override;
  void render(SDL_Renderer* renderer) override;
  void resize(SDL_Renderer* renderer, int w, int h) override;
  void handleEvent(GuiEvent& event) override;
  ~GuiWindow() override;

 private:
  void deliver(GuiObject* w, GuiEvent& event);
  void deliverRelative(GuiObject* w, GuiEvent& event);
  void handleButtonDown(GuiEvent& event);
  void handleMotion(GuiEvent& event);
  void handleWindowEvent(GuiEvent& event);
  void endHover();
  void setTooltipVisible(bool visible);
};
