// DialogState: everything the window shows, as the actions leave it.
//
// The actions change it; the window renders it whole. It holds no widget.
// Which commands show and which are enabled follows the window's state
// (window_states.h).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace korvane::workflow {

// The five commands. Each carries its button's index, which is its identity
// throughout the program: the window passes the index of the button pressed,
// and a command converts to it wherever an index is wanted.
enum Command : int {
  kClose = 0,
  kExitWithoutUpdate = 1,
  kUpdate = 9,
  kDeleteOrphans = 10,
  kSetNull = 11,
};

inline constexpr std::array<Command, 5> kCommands = {kClose, kExitWithoutUpdate, kUpdate,
                                                     kDeleteOrphans, kSetNull};

// The command of a button index; none for any other index (2 to 8 are unused).
std::optional<Command> commandAt(int index);

// Database options in Frame1.
inline constexpr int kSystemOption = 0;
inline constexpr int kExternalOption = 1;

enum class Pointer { kDefault, kBusy };

// Shown and enabled flags start clear: DialogState's constructor, and every
// change after it, takes them from the table of states. Which option is
// selected is the database choice's.
struct CommandFlags {
  bool visible{};
  bool enabled{};
  bool operator==(const CommandFlags&) const = default;
};

struct OptionFlags {
  bool selected{};
  bool enabled{};
  bool operator==(const OptionFlags&) const = default;
};

struct DialogState {
  std::string caption;
  std::string instructions = " ";
  Pointer pointer = Pointer::kDefault;
  bool frameEnabled{};
  std::array<OptionFlags, 2> options{};

  // As the window is drawn: Update and Delete orphans shown, the other
  // commands hidden, everything enabled, no option selected.
  DialogState();

  // Flags of a command; throws std::out_of_range for a value that is none
  // of the five.
  CommandFlags& command(Command which) { return commands_.at(slotOf(which)); }
  const CommandFlags& command(Command which) const { return commands_.at(slotOf(which)); }

  bool operator==(const DialogState&) const = default;

 private:
  static std::size_t slotOf(Command which);

  std::array<CommandFlags, kCommands.size()> commands_{};  // in kCommands' order
};

}  // namespace korvane::workflow
