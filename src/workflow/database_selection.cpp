// The choice of database between the system database and an external file.
#include "workflow/database_selection.h"

#include "workflow/dialog_state.h"
#include "workflow/naming.h"

namespace korvane::workflow {

namespace {

void markSelected(DialogState& state, int index) {
  state.options[kSystemOption].selected = index == kSystemOption;
  state.options[kExternalOption].selected = index == kExternalOption;
}

void enableBothOptions(DialogState& state) {
  state.options[kSystemOption].enabled = true;
  state.options[kExternalOption].enabled = true;
}

// Update becomes available for the chosen database; the clean-ups wait for it.
void offerUpdate(DialogState& state) {
  state.command(kUpdate).visible = true;
  state.command(kDeleteOrphans).visible = false;
  state.command(kSetNull).visible = false;
  enableBothOptions(state);
}

// Nothing is chosen, so nothing can be updated.
void withdrawUpdate(DialogState& state) {
  state.command(kUpdate).visible = false;
  state.command(kDeleteOrphans).visible = false;
  state.command(kSetNull).visible = false;
  enableBothOptions(state);
}

void prepareDialog(const UpdateContext& context, CommonDialog& dialog) {
  dialog.setTitle(kDialogTitle);
  dialog.setDefaultExt(kDialogDefaultExt);
  dialog.setFilter(kDialogFilter);
  dialog.setInitialDir(context.dataFolder + kExternalFolderName);
}

void selectExternalDatabase(UpdateContext& context, CommonDialog& dialog,
                            const std::function<void()>& showSoFar) {
  DialogState& state = context.state;
  markSelected(state, kExternalOption);
  state.caption = kExternalCaption;
  state.command(kDeleteOrphans).visible = false;
  prepareDialog(context, dialog);
  if (showSoFar) showSoFar();

  const std::string chosen = dialog.showOpen();
  if (chosen.empty()) {
    // Cancelled: neither option stays selected, so either can be chosen again.
    markSelected(state, -1);
    withdrawUpdate(state);
    return;
  }
  context.selectedPath = chosen;
  state.caption = kExternalCaption + context.selectedPath;
  offerUpdate(state);
}

}  // namespace

void selectSystemDatabase(UpdateContext& context) {
  markSelected(context.state, kSystemOption);
  context.selectedPath = kSystemDatabase;
  context.state.caption = kSystemCaption + context.selectedPath;
  offerUpdate(context.state);
}

void selectDatabase(int index, UpdateContext& context, CommonDialog& dialog,
                    const std::function<void()>& showSoFar) {
  if (index == kSystemOption) {
    selectSystemDatabase(context);
  } else if (index == kExternalOption) {
    selectExternalDatabase(context, dialog, showSoFar);
  }
}

}  // namespace korvane::workflow
