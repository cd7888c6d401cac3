// The children of the benchmark, one per side: each runs in a process of its
// own on fresh copies of the masters in `master`, works in `run`, and prints
// one RESULT line.
#pragma once

#include <filesystem>

namespace korvane::bench {

// The stamp of every side's Update: Korvane's fixed clock gives it, 7
// December 2026, 08:43, and the hand-written side names its files by it.
inline constexpr const char* kStamp = "261207_0843";

// Generates the masters (the old system database and the template) with
// `measurements` rows, with or without keys and indexes; reports the time
// and the counts.
void childGenerate(const std::filesystem::path& master, long long measurements, bool indexes);

// Korvane's Update, Delete orphans and Set un-measured values to Null, through
// the real command frame and engine.
void childKorvane(const std::filesystem::path& master, const std::filesystem::path& run);

// How the hand-written side runs: with SQLite's defaults; with each `cp`
// flushed (fsync), as copyFile flushes its copies, Update only: the yardstick
// that tells how much of Update's gap is the durable backup; or with
// synchronous=OFF, the disk's limit, where nothing waits for it.
enum class HandStyle { kDefaults, kDurableCopies, kSynchronousOff };

// The same work as hand-written SQLite statements (hand_actions.h).
void childHand(const std::filesystem::path& master, const std::filesystem::path& run,
               HandStyle style, bool indexes);

// The copy of the old system database (the largest file; Update's backup
// copy): the file services' copyFile, `cp`, and `cp` followed by fsync of the
// copy. `first` rotates the order between repetitions.
void childCopies(const std::filesystem::path& master, const std::filesystem::path& run, int first);

}  // namespace korvane::bench
