// The five command actions, each a fixed list of small steps run through the
// command frame. Internal to the workflow library.
#pragma once

#include "workflow/command_frame.h"

namespace korvane::workflow::actions {

// Index 9: back up, build the working copy, transfer the user's data,
// refresh the standard materials.
void update(CommandFrame& frame);

// Index 10: remove experiments without measurements, then samples without
// experiments, from the working copy.
void deleteOrphans(CommandFrame& frame);

// Index 11: turn zero readings that stand for readings never taken into Null.
void setUnmeasuredToNull(CommandFrame& frame);

// Index 0: commit the working copy (system database) and close the window.
void closeAndCommit(CommandFrame& frame);

// Index 1: discard the working copy and close the window.
void exitWithoutUpdate(CommandFrame& frame);

// The working copy (working_copy.cpp): the engine is told to write it
// without flushing, and each action that reports a result, or commits it,
// makes it durable once, after its last handle on it is closed.
void writeWorkingCopyAsScratch(CommandFrame& frame);
void makeWorkingCopyDurable(CommandFrame& frame);

// The CR LF that separates lines of the window's texts.
inline constexpr const char* kNewLine = "\r\n";

}  // namespace korvane::workflow::actions
