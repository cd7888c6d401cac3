// DialogState: everything the window shows, as the actions leave it.
//
// The actions change it; the window renders it whole. It holds no widget.
#pragma once

#include <array>
#include <string>

namespace korvane::workflow {

// Command indices: the index of a button is the command's identity.
inline constexpr int kClose = 0;
inline constexpr int kExitWithoutUpdate = 1;
inline constexpr int kUpdate = 9;
inline constexpr int kDeleteOrphans = 10;
inline constexpr int kSetNull = 11;

// Database options in Frame1.
inline constexpr int kSystemOption = 0;
inline constexpr int kExternalOption = 1;

enum class Pointer { kDefault, kBusy };

struct CommandFlags {
  bool visible = true;
  bool enabled = true;
  bool operator==(const CommandFlags&) const = default;
};

struct OptionFlags {
  bool selected = false;
  bool enabled = true;
  bool operator==(const OptionFlags&) const = default;
};

struct DialogState {
  std::string caption;
  std::string instructions = " ";
  Pointer pointer = Pointer::kDefault;
  bool frameEnabled = true;
  std::array<OptionFlags, 2> options{};

  // As designed: Set un-measured values to Null, Close and Exit without
  // update start hidden; everything starts enabled.
  DialogState();

  // Flags of command `index` (0, 1, 9, 10 or 11); throws std::out_of_range
  // for any other index.
  CommandFlags& command(int index);
  const CommandFlags& command(int index) const;

  static bool isCommand(int index);

  bool operator==(const DialogState&) const = default;

 private:
  std::array<CommandFlags, 12> commands_{};  // indices 2..8 unused
};

}  // namespace korvane::workflow
