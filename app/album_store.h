// Every album in one packed buffer: an album's record is its name and then
// its files' paths, each ended by a NUL, and the records lie back to back in
// album order. Names are kept as Shift-JIS bytes (UTF-8 where that could not
// hold them), paths as the file system's bytes. Albums 0 and 1 are the
// built-in ones and may be neither deleted nor renamed.
//
// Every operation takes any index: one that names no album or file does
// nothing and returns the "nothing done" result, and an insertion that would
// pass the capacity is refused with a box, so the buffer is never written
// out of bounds. Names and paths end at their first NUL byte.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "user_prompts.h"

namespace kvt::app {

inline constexpr std::size_t kAlbumCapacity = 1048576;
inline constexpr int kMaxAlbums = 256;

class AlbumStore {
 public:
  // Boxes go to `prompts`, which outlives the store. The capacity is at most
  // INT_MAX bytes (offsets are 32-bit).
  explicit AlbumStore(UserPrompts& prompts, std::size_t capacity = kAlbumCapacity);

  int album_num() const { return album_num_; }
  int fm_num(int x) const;  // 0 for no album
  int fm_cur(int x) const;  // -1 for no album
  void set_fm_cur(int x, int y);
  // The settings record's `cur_album`, kept here while the program runs.
  int cur_album() const { return cur_album_; }
  void set_cur_album(int x) { cur_album_ = x; }

  std::size_t used() const { return static_cast<std::size_t>(album_po_[album_num_]); }
  std::size_t capacity() const { return album_fm_.size(); }
  // The used part of the buffer, and where album x's record starts (x up to
  // album_num, which gives the end); for checks.
  std::string_view records() const { return {album_fm_.data(), used()}; }
  int album_po(int x) const;

  // Album x's name; empty for no album.
  std::string_view album(int x) const;
  // File y of album x; nothing when y is -1 or not below fm_num(x).
  std::optional<std::string_view> fm_file(int x, int y) const;

  // Appends an empty album, which becomes `cur_album`; false when refused
  // (256 albums already, or no room).
  bool album_add(std::string_view name);
  // 0 when album x was deleted, 1 when not (reserved, no album, or the user
  // chose to keep an album that holds files).
  int album_del(int x);
  // False when nothing was renamed (reserved, no album, or no room).
  bool album_ren(int x, std::string_view name);
  // Appends a file to album x and makes it the current one; false when
  // refused (no album, or no room).
  bool fm_file_add(int x, std::string_view path);
  // Removes file y of album x; false when there is no such file.
  bool fm_file_del(int x, int y);
  // No albums at all; `cur_album` is left as it is.
  void clear();

 private:
  bool has_album(int x) const { return x >= 0 && x < album_num_; }
  // True when `more` bytes still fit; else the capacity box, and false.
  bool fits(std::size_t more);
  // Moves the bytes from `from` to the end by `delta`, and the offsets of
  // album `first` onwards (the end offset included) with them.
  void move_tail(int from, int delta, int first);
  // `text` and its NUL at `at`.
  void put(int at, std::string_view text);

  UserPrompts& prompts_;
  std::vector<char> album_fm_;
  std::array<int, kMaxAlbums + 1> album_po_{};
  int album_num_ = 0;
  std::array<int, kMaxAlbums> fm_num_{};
  std::array<int, kMaxAlbums> fm_cur_{};
  int cur_album_ = 0;
};

}  // namespace kvt::app
