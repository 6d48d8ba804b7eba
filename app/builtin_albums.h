// The albums as the program starts: the two built-in albums filled from
// their folders, then the user's albums from the album file.
#pragma once

#include <string>

namespace kvt::app {

class AlbumStore;

// Replaces every album: album 0 "ＫＶＴ９７のサンプル２５曲" with the song
// data files of `sample_dir`, album 1 "(株)zov社提供の３曲" with those of
// `dova_dir`, then the albums of `album_file`, or when it cannot be read one
// album "その他のデータ(名前は変更してね)". `cur_album` is kept.
void rebuild_albums(AlbumStore& albums, const std::string& sample_dir, const std::string& dova_dir,
                    const std::string& album_file);

}  // namespace kvt::app
