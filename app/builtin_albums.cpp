#include "builtin_albums.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "album_file.h"
#include "album_store.h"
#include "display_text.h"

namespace kvt::app {

namespace {

const std::string kSampleAlbum = "ＫＶＴ９７のサンプル２５曲";
const std::string kDovaAlbum = "(株)zov社提供の３曲";
const std::string kOtherAlbum = "その他のデータ(名前は変更してね)";

bool ends_in_kvt(std::string_view path) {
  if (path.size() < 3) return false;
  const std::string_view end = path.substr(path.size() - 3);
  // Setting bit 5 turns only "K" (or "k") into "k", and so on.
  return std::equal(end.begin(), end.end(), "kvt", [](char a, char b) { return (a | 0x20) == b; });
}

// The names of the regular files in `dir` whose path ends in "kvt" in any
// letter case, in byte order so that the album reads the same on every
// file system; none when the folder cannot be read.
std::vector<std::string> song_names(const std::string& dir) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    const std::string name = it->path().filename().string();
    if (ends_in_kvt(dir + "/" + name) && it->is_regular_file(type_ec)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void add_folder_album(AlbumStore& albums, const std::string& name, const std::string& dir) {
  if (!albums.album_add(frontend::to_shift_jis(name))) return;
  const int x = albums.album_num() - 1;
  for (const std::string& song : song_names(dir)) albums.fm_file_add(x, dir + "/" + song);
  if (albums.fm_cur(x) > 0) albums.set_fm_cur(x, 0);
}

}  // namespace

void rebuild_albums(AlbumStore& albums, const std::string& sample_dir, const std::string& dova_dir,
                    const std::string& album_file) {
  const int kept = albums.cur_album();
  albums.clear();
  add_folder_album(albums, kSampleAlbum, sample_dir);
  add_folder_album(albums, kDovaAlbum, dova_dir);
  if (!load_album_file(album_file, albums)) albums.album_add(frontend::to_shift_jis(kOtherAlbum));
  albums.set_cur_album(kept);
}

}  // namespace kvt::app
