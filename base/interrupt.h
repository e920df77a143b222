#pragma once

#include <filesystem>
#include <functional>

namespace fragtally {

/// Takes over SIGINT and SIGTERM (on Windows: Ctrl+C, Ctrl+Break and the
/// closing of the console). An interrupt removes every temporary file held at
/// that moment, then ends the program with the signal's usual status. A signal
/// the program was started with ignored stays ignored. Call once, early.
void installInterruptHandlers();

/// In service mode (the live modes) the first interrupt only raises the flag
/// below, and the program ends itself at its next safe point; a second one
/// ends it at once, as outside service mode.
void setServiceMode(bool on);

/// Whether an interrupt has arrived. Safe to read from any thread.
bool interruptRequested();

/// A temporary file's path held for the interrupt handlers while the file is
/// being written or waits for its rename: an interrupt in that time removes
/// it. Register before the file is created, create it through createFile,
/// release once it is renamed or removed. The paths sit in a fixed table (a
/// handler may not allocate); when every place is taken a new path waits for
/// one, up to a second, and then goes unguarded: the next run in its folder
/// removes its file once it is a day old.
class HeldTemporary {
 public:
  /// Paths that can be held at once, over all threads.
  static constexpr int kPlaces = 512;

  HeldTemporary() = default;
  explicit HeldTemporary(const std::filesystem::path& path);
  ~HeldTemporary() { release(); }
  HeldTemporary(HeldTemporary&& other) noexcept;
  HeldTemporary& operator=(HeldTemporary&& other) noexcept;
  HeldTemporary(const HeldTemporary&) = delete;
  HeldTemporary& operator=(const HeldTemporary&) = delete;

  bool guarded() const { return slot_ >= 0; }
  /// Makes the held path's file with `create`, which says whether it did, so
  /// that an interrupt on any thread meanwhile still leaves no file behind:
  /// once the handlers have begun removing files, none is made, and one made
  /// while they ran is removed again before the program ends. The interrupt
  /// signals are held back on this thread while it creates. True when the
  /// file was made and stays.
  bool createFile(const std::function<bool()>& create);
  /// The handlers forget the path; the file itself is left as it is.
  void release();

 private:
  int slot_ = -1;
};

}  // namespace fragtally
