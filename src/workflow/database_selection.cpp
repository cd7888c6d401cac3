// The choice of database between the system database and an external file.
#include "workflow/database_selection.h"

#include "workflow/dialog_state.h"
#include "workflow/naming.h"
#include "workflow/window_states.h"

namespace korvane::workflow {

namespace {

void markSelected(DialogState& state, int index) {
  state.options[kSystemOption].selected = index == kSystemOption;
  state.options[kExternalOption].selected = index == kExternalOption;
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
  prepareDialog(context, dialog);
  if (showSoFar) showSoFar();

  const std::string chosen = dialog.showOpen();
  if (chosen.empty()) {
    // Cancelled: neither option stays selected, so either can be chosen
    // again; with nothing chosen, Update is withdrawn.
    markSelected(state, -1);
    enter(state, WindowState::kNothingChosen);
    return;
  }
  context.selectedPath = chosen;
  state.caption = kExternalCaption + context.selectedPath;
  enter(state, WindowState::kExternalChosen);
}

}  // namespace

void selectSystemDatabase(UpdateContext& context) {
  markSelected(context.state, kSystemOption);
  context.selectedPath = kSystemDatabase;
  context.state.caption = kSystemCaption + context.selectedPath;
  enter(context.state, WindowState::kSystemChosen);
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
