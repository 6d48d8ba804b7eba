#include "album_store.h"

#include <QtGlobal>
#include <algorithm>
#include <climits>
#include <cstring>

namespace kvt::app {

namespace {

const std::string kTooManyAlbums =
    QT_TRANSLATE_NOOP("Messages", "アルバム数が２５６を超えます\nこれ以上追加することはできません");
const std::string kFull = QT_TRANSLATE_NOOP("Messages", "アルバムの容量を超えます\nこれ以上追加することはできません");
const std::string kReservedDelete =
    QT_TRANSLATE_NOOP("Messages", "このアルバムはＫＶＴ９５で予約されているので\n削除することはできません");
const std::string kReservedRename =
    QT_TRANSLATE_NOOP("Messages", "このアルバムはＫＶＴ９７で予約されているので\n名前の変更はできません");
const std::string kDeleteFiles =
    QT_TRANSLATE_NOOP("Messages", "アルバム内に演奏ファイルが記録されています\nすべて削除してもいいですか？");

bool reserved(int x) { return x == 0 || x == 1; }

// A record holds NUL-terminated strings, so a NUL inside would split one.
std::string_view up_to_nul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

AlbumStore::AlbumStore(UserPrompts& prompts, std::size_t capacity)
    : prompts_(prompts), album_fm_(std::min<std::size_t>(capacity, INT_MAX)) {}

int AlbumStore::fm_num(int x) const { return has_album(x) ? fm_num_[x] : 0; }

int AlbumStore::fm_cur(int x) const { return has_album(x) ? fm_cur_[x] : -1; }

void AlbumStore::set_fm_cur(int x, int y) {
  if (has_album(x)) fm_cur_[x] = y;
}

int AlbumStore::album_po(int x) const { return x >= 0 && x <= album_num_ ? album_po_[x] : 0; }

std::string_view AlbumStore::album(int x) const {
  return has_album(x) ? std::string_view(album_fm_.data() + album_po_[x]) : std::string_view();
}

std::optional<std::string_view> AlbumStore::fm_file(int x, int y) const {
  if (!has_album(x) || y < 0 || y >= fm_num_[x]) return std::nullopt;
  // Past the name and the y files before it.
  const char* at = album_fm_.data() + album_po_[x];
  for (int k = 0; k <= y; ++k) at += std::strlen(at) + 1;
  return std::string_view(at);
}

bool AlbumStore::album_add(std::string_view name) {
  if (album_num_ == kMaxAlbums) {
    prompts_.inform(kTooManyAlbums, kConfirmCaption, BoxIcon::none);
    return false;
  }
  name = up_to_nul(name);
  if (!fits(name.size() + 1)) return false;
  const int at = album_po_[album_num_];
  put(at, name);
  fm_num_[album_num_] = 0;
  fm_cur_[album_num_] = -1;
  cur_album_ = album_num_;
  ++album_num_;
  album_po_[album_num_] = at + static_cast<int>(name.size()) + 1;
  return true;
}

int AlbumStore::album_del(int x) {
  if (reserved(x)) {
    prompts_.inform(kReservedDelete, kConfirmCaption, BoxIcon::none);
    return 1;
  }
  if (!has_album(x)) return 1;
  if (fm_num_[x] > 0 && !prompts_.ask_yes_no(kDeleteFiles, kConfirmCaption)) return 1;
  const int length = album_po_[x + 1] - album_po_[x];
  move_tail(album_po_[x + 1], -length, x + 1);
  for (int k = x; k < album_num_; ++k) album_po_[k] = album_po_[k + 1];
  for (int k = x; k + 1 < album_num_; ++k) {
    fm_num_[k] = fm_num_[k + 1];
    fm_cur_[k] = fm_cur_[k + 1];
  }
  --album_num_;
  return 0;
}

bool AlbumStore::album_ren(int x, std::string_view name) {
  if (reserved(x)) {
    prompts_.inform(kReservedRename, kConfirmCaption, BoxIcon::none);
    return false;
  }
  if (!has_album(x)) return false;
  name = up_to_nul(name);
  const std::size_t old_length = album(x).size();
  if (name.size() > old_length && !fits(name.size() - old_length)) return false;
  const int delta = static_cast<int>(name.size()) - static_cast<int>(old_length);
  move_tail(album_po_[x] + static_cast<int>(old_length) + 1, delta, x + 1);
  put(album_po_[x], name);
  return true;
}

bool AlbumStore::fm_file_add(int x, std::string_view path) {
  if (!has_album(x)) return false;
  path = up_to_nul(path);
  if (!fits(path.size() + 1)) return false;
  const int at = album_po_[x + 1];
  move_tail(at, static_cast<int>(path.size()) + 1, x + 1);
  put(at, path);
  fm_cur_[x] = fm_num_[x];
  ++fm_num_[x];
  return true;
}

bool AlbumStore::fm_file_del(int x, int y) {
  const std::optional<std::string_view> file = fm_file(x, y);
  if (!file) return false;
  const int at = static_cast<int>(file->data() - album_fm_.data());
  const int length = static_cast<int>(file->size()) + 1;
  move_tail(at + length, -length, x + 1);
  --fm_num_[x];
  // The current file was the last one: the new last one becomes current.
  if (fm_cur_[x] == fm_num_[x]) --fm_cur_[x];
  return true;
}

void AlbumStore::clear() {
  album_num_ = 0;
  album_po_[0] = 0;
}

bool AlbumStore::fits(std::size_t more) {
  if (more <= capacity() - used()) return true;
  prompts_.inform(kFull, kConfirmCaption, BoxIcon::exclamation);
  return false;
}

void AlbumStore::move_tail(int from, int delta, int first) {
  char* fm = album_fm_.data();
  const int end = album_po_[album_num_];
  if (delta > 0) {
    std::copy_backward(fm + from, fm + end, fm + end + delta);
  } else {
    std::copy(fm + from, fm + end, fm + from + delta);
  }
  for (int k = first; k <= album_num_; ++k) album_po_[k] += delta;
}

void AlbumStore::put(int at, std::string_view text) {
  const auto to = album_fm_.begin() + at;
  *std::copy(text.begin(), text.end(), to) = '\0';
}

}  // namespace kvt::app
