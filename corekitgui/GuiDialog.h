// GuiDialog: the root widget of a dialog window. A dialog is modal without blocking:
// it registers itself as the engine's modal window and later reports its answer with
// the command GUI_CMD_MODAL_CLOSED, whose source is the dialog. The application then
// destroys the dialog's window. Owned by its AppWindow record like any root.
#pragma once

#include "GuiWindow.h"

// Answer of a modal dialog, sent as source_id of GUI_CMD_MODAL_CLOSED.
enum class ModalResult { None = 0, Ok = 1, Cancel = 2, Yes = 3, No = 4 };

class GuiDialog : public GuiWindow {
 public:
  GuiDialog(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color background);

  // Ends the modal state with the answer Ok / Cancel when this dialog is the modal
  // window; otherwise nothing happens.
  virtual void onAccept();
  virtual void onCancel();
  virtual void onCommand(GuiEvent& event);

 protected:
  // Clears the modal state, dispatches GUI_CMD_MODAL_CLOSED with the result as
  // source id and restores the saved text-input target. False when not modal.
  bool endModal(int result);
};
