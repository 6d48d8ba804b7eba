#include "compile_into.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "atomic_file.h"
#include "file_reasons.h"
#include "song_conversions.h"
#include "song_file.h"
#include "song_names.h"

namespace kvt::frontend {
namespace {

// The song beside the source, kept under a second name (a hard link) while
// the compiler replaces it, so that it can be put back.
class EarlierSong {
 public:
  explicit EarlierSong(std::string song) : song_(std::move(song)) {
    if (access(song_.c_str(), F_OK) != 0) return;  // none to keep
    std::string temp;
    const int fd = create_beside(song_, temp);
    if (fd < 0) {
      error_ = last_write_failure();
      return;
    }
    close(fd);
    unlink(temp.c_str());
    if (link(song_.c_str(), temp.c_str()) == 0) {
      kept_ = temp;
    } else {
      error_ = errno;
    }
  }
  ~EarlierSong() {
    if (!kept_.empty()) unlink(kept_.c_str());
  }
  EarlierSong(const EarlierSong&) = delete;
  EarlierSong& operator=(const EarlierSong&) = delete;

  // Why the song could not be kept; 0 when it was, or when there was none.
  int error() const { return error_; }
  bool exists() const { return !kept_.empty(); }
  // Back in its place, over whatever the compiler left there.
  void put_back() {
    if (!kept_.empty() && std::rename(kept_.c_str(), song_.c_str()) == 0) kept_.clear();
  }

 private:
  std::string song_;
  std::string kept_;
  int error_ = 0;
};

// Moves `from` over `to`: a rename, or across file systems a copy that
// replaces `to` whole. The system's reason when it fails, else 0.
int move_song(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return 0;
  if (errno != EXDEV) return errno;
  std::vector<std::uint8_t> image;
  if (read_song_file(from, image) != FileRead::ok) return EIO;
  if (!write_file_atomically(to, image.data(), image.size())) return last_write_failure();
  unlink(from.c_str());
  return 0;
}

bool is_source_folder(const std::string& source, const std::string& dir) {
  const std::filesystem::path folder = std::filesystem::path(source).parent_path();
  std::error_code error;
  return std::filesystem::equivalent(folder.empty() ? "." : folder, dir, error);
}

}  // namespace

Outcome compile_mml_into(const std::string& source, const std::string& config, const std::string& dir) {
  if (is_source_folder(source, dir)) return compile_mml(source, config);
  const std::string target = compiled_song(source, dir);
  if (auto refusal = creation_refusal(target)) return {false, {std::move(*refusal)}};
  const std::string beside = compiled_song(source);
  EarlierSong earlier(beside);
  if (earlier.error() != 0) return {false, {cannot("keep", beside, reason_for_error(earlier.error()))}};
  Outcome outcome = compile_mml(source, config);
  if (!outcome.ok) return outcome;  // the compiler left the earlier song as it was
  if (const int error = move_song(beside, target); error != 0) {
    outcome.ok = false;
    outcome.messages.push_back(cannot("write", target, reason_for_error(error)));
    if (!earlier.exists()) unlink(beside.c_str());
  }
  earlier.put_back();
  return outcome;
}

}  // namespace kvt::frontend
