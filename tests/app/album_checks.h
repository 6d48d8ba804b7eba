// What the album tests compare: every album read back through the store's
// interface, and the packed buffer checked against the side tables.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "album_store.h"

namespace kvt::test {

struct AlbumContents {
  std::string name;
  std::vector<std::string> files;
  int cur = -1;

  bool operator==(const AlbumContents&) const = default;
};

inline void PrintTo(const AlbumContents& album, std::ostream* os) {
  *os << '"' << album.name << "\" cur " << album.cur << " files";
  for (const std::string& file : album.files) *os << " \"" << file << '"';
}

inline std::vector<AlbumContents> contents(const app::AlbumStore& albums) {
  std::vector<AlbumContents> all;
  for (int x = 0; x < albums.album_num(); ++x) {
    AlbumContents album{std::string(albums.album(x)), {}, albums.fm_cur(x)};
    for (int y = 0; y < albums.fm_num(x); ++y) album.files.emplace_back(albums.fm_file(x, y).value_or("(none)"));
    all.push_back(album);
  }
  return all;
}

// Offsets start at 0 and never decrease, the last one is the used length,
// each record holds exactly fm_num + 1 NUL-terminated strings, and each
// current file is one of the album's or -1.
inline testing::AssertionResult consistent(const app::AlbumStore& albums) {
  if (albums.album_po(0) != 0) return testing::AssertionFailure() << "album_po[0] is " << albums.album_po(0);
  const int num = albums.album_num();
  if (static_cast<std::size_t>(albums.album_po(num)) != albums.used()) {
    return testing::AssertionFailure() << "end offset " << albums.album_po(num) << ", used " << albums.used();
  }
  for (int x = 0; x < num; ++x) {
    const int start = albums.album_po(x);
    const int end = albums.album_po(x + 1);
    if (end <= start) return testing::AssertionFailure() << "album " << x << " spans " << start << " to " << end;
    const std::string_view record = albums.records().substr(start, end - start);
    const auto strings = std::count(record.begin(), record.end(), '\0');
    if (record.back() != '\0' || strings != albums.fm_num(x) + 1) {
      return testing::AssertionFailure() << "album " << x << " holds " << strings << " strings for " << albums.fm_num(x)
                                         << " files";
    }
    if (albums.fm_cur(x) < -1 || albums.fm_cur(x) >= albums.fm_num(x)) {
      return testing::AssertionFailure() << "album " << x << " current file " << albums.fm_cur(x);
    }
  }
  return testing::AssertionSuccess();
}

}  // namespace kvt::test
