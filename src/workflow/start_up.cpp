// Start-up of the window's context.
#include "workflow/start_up.h"

#include "workflow/database_selection.h"
#include "workflow/naming.h"

namespace korvane::workflow {

const char* const kStartUpInstructions =
    " If you want to update the database on this system, then\r\n"
    " Close Measurement and MS Access applications if Open.\r\n"
    " and Press 'Update'\r\n"
    "\r\n"
    " Updating database will:\r\n"
    "    Update caption for each field in database as necessary,\r\n"
    "    Improve description of each field as necessary,\r\n"
    "    Add new db fields for compatability with latest software if necessary,\r\n"
    "    Add new Standard Materials as necessary,\r\n"
    "    Add new experiments as required for any new Tutorials\r\n"
    "\r\n"
    " If instead, you want to update an external db for another system, then \r\n"
    " click option 'select external db' , select the desired file, and then press 'Update'";

// The commands of the drawn window give way to those of the system
// database's choice.
void startUp(UpdateContext& context) {
  context.dataFolder = kDataFolder;
  context.state.caption = kStartUpCaption;
  context.state.instructions = kStartUpInstructions;
  selectSystemDatabase(context);
}

}  // namespace korvane::workflow
