// GuiDialog: the root of a dialog window and its modal answers.
#include "GuiDialog.h"

#include "GuiEngine.h"

GuiDialog::GuiDialog(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color background)
    : GuiWindow(appWindow, id, x, y, w, h, background) {}

bool GuiDialog::endModal(int result) {
  if (!mEngine || mEngine->mModalWindow != this) return false;
  // The application may destroy this dialog while it handles the command, so the
  // engine is kept in a local.
  GuiEngine* engine = mEngine;
  engine->mModalWindow = nullptr;
  GuiEngine::requestFrame();
  dispatchCommand(GUI_CMD_MODAL_CLOSED, result, 0, this);
  engine->mActiveEditable = engine->mSavedEditable;
  return true;
}

void GuiDialog::onAccept() { endModal(static_cast<int>(ModalResult::Ok)); }

void GuiDialog::onCancel() { endModal(static_cast<int>(ModalResult::Cancel)); }

void GuiDialog::onCommand(GuiEvent&) {}
