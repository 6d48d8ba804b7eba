#include "album_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "album_store.h"
#include "atomic_file.h"
#include "regular_file.h"

namespace kvt::app {

namespace {

constexpr std::size_t kFileLimit = 16 * 1024 * 1024;

// A position in the text, moved forward only.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool at_end() const { return at_ == text_.size(); }
  char peek() const { return text_[at_]; }
  void pass() { ++at_; }
  void skip_any_of(std::string_view bytes) {
    while (!at_end() && bytes.find(peek()) != std::string_view::npos) ++at_;
  }
  // The bytes up to the first of `stops` (or the end), at most `limit` of
  // them; the rest of them and the stop byte are passed.
  std::string_view take(std::string_view stops, std::size_t limit) {
    const std::size_t stop = std::min(text_.find_first_of(stops, at_), text_.size());
    const std::string_view taken = text_.substr(at_, std::min(stop - at_, limit));
    at_ = std::min(stop + 1, text_.size());
    return taken;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

void read_album_text(std::string_view text, AlbumStore& albums) {
  Scanner in(text);
  while (true) {
    in.skip_any_of("\r\n ");
    if (in.at_end()) return;
    if (in.peek() == '[') {
      in.pass();
      albums.album_add(in.take("]\r\n", kAlbumNameLimit));
      // What follows "]" on its line is a path; else the next line is read
      // as one, spaces and all, unless it is a header.
      in.skip_any_of("\r\n");
      if (in.at_end() || in.peek() == '[') continue;
    }
    albums.fm_file_add(albums.album_num() - 1, in.take("\r\n", kAlbumPathLimit));
  }
}

bool load_album_file(const std::string& path, AlbumStore& albums) {
  std::vector<std::uint8_t> data;
  if (read_regular_file(path, kFileLimit, data) != FileRead::ok) return false;
  read_album_text(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()), albums);
  return true;
}

std::string album_file_text(const AlbumStore& albums) {
  std::string text;
  for (int x = 2; x < albums.album_num(); ++x) {
    text.append("[").append(albums.album(x)).append("]\r\n");
    for (int y = 0; y < albums.fm_num(x); ++y) text.append(*albums.fm_file(x, y)).append("\r\n");
    text.append("\r\n");
  }
  return text;
}

bool save_album_file(const std::string& path, const AlbumStore& albums) {
  const std::string text = album_file_text(albums);
  return write_file_atomically(path, text.data(), text.size());
}

}  // namespace kvt::app
