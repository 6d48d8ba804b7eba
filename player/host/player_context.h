// One player instance: the loaded song with its voices, the driver that
// plays it and the front end it reports to. Several instances may work on
// separate threads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "driver.h"
#include "host_ui.h"
#include "song_format.h"

namespace kvt::host {

// A block read whole from a file, with room after the file's bytes.
struct FileBlock {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t file_size = 0;
  std::size_t size = 0;  // file_size plus the spare bytes
};

struct Player {
  FileBlock fm;                                    // the song data file
  std::array<FileBlock, song::kVoiceSlots> kvw{};  // voice blocks by slot; empty when no bytes
  int kvw_total = 0;                               // the song's voice count
  char* tit = nullptr;                             // caller's 256-byte title buffer
  HostUi ui;
  std::unique_ptr<driver::Context> driver = driver::make_context();

  bool loaded() const { return fm.bytes != nullptr; }
};

inline constexpr std::size_t kTitleSize = 256;

}  // namespace kvt::host
