#include "host_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace kvt::test {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kvt-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch directory");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
  std::filesystem::remove_all(path_, ec);
}

NonRegularFiles::NonRegularFiles(const ScratchDir& dir, const std::string& extension)
    : folder(dir / ("folder" + extension)), pipe(dir / ("pipe" + extension)) {
  std::filesystem::create_directory(folder);
  if (mkfifo(pipe.c_str(), 0600) != 0) throw std::runtime_error("no pipe");
  held_ = open(pipe.c_str(), O_RDWR);
  if (held_ < 0) throw std::runtime_error("the pipe cannot be held open");
}

NonRegularFiles::~NonRegularFiles() { close(held_); }

std::string ScratchDir::write(const std::string& name, const Bytes& bytes) const {
  const std::filesystem::path file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return file.string();
}

std::vector<std::string> ScratchDir::entries() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
  return names;
}

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

playstruct settings_for(const std::string& dir1, const std::string& dir2) {
  playstruct s{};
  std::strncpy(s.pcm_dir[0], dir1.c_str(), sizeof s.pcm_dir[0] - 1);
  std::strncpy(s.pcm_dir[1], dir2.c_str(), sizeof s.pcm_dir[1] - 1);
  s.rate_index = 0;
  s.channel = 2;
  s.effect_level = 0;
  s.fade = 0;
  s.loop = 1;
  s.bit = 16;
  return s;
}

RecordingUi::RecordingUi(int cancel_after_polls) : cancel_after_(cancel_after_polls) {
  kvt_host_ui& ui = ui_;
  ui.context = this;
  ui.message = [](void* self, const char* text, int icon) {
    static_cast<RecordingUi*>(self)->messages.push_back({text, icon});
  };
  ui.progress = [](void* self, const char* text) { static_cast<RecordingUi*>(self)->progress.emplace_back(text); };
  ui.cancel_requested = [](void* self) {
    auto* me = static_cast<RecordingUi*>(self);
    return me->cancel_after_ >= 0 && me->polls_++ >= me->cancel_after_ ? 1 : 0;
  };
  ui.finished = [](void* self) { ++static_cast<RecordingUi*>(self)->finished; };
  kvt_set_host_ui(&ui);
}

RecordingUi::~RecordingUi() { kvt_set_host_ui(nullptr); }

ToneSong tone_song(const std::vector<Bytes>& parts, bool wide_voice) {
  VoiceParams v;
  v.wide = wide_voice;
  for (int i = 0; i < 100; ++i) {
    const double s = std::sin(i * 2 * M_PI / 100);
    v.samples.push_back(wide_voice ? static_cast<std::int32_t>(std::lround(20000 * s))
                                   : static_cast<std::int32_t>(128 + std::lround(100 * s)));
  }
  return ToneSong{make_song({48, 28, false, parts}, {{{0, "tone"}}, std::nullopt}), voice_file(v)};
}

Bytes loaded_voice(Bytes file) {
  const bool wide = file[3] == 'W';
  if (!wide) {
    for (std::size_t i = 0x100; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(file[i] + 0x80);
  }
  file.insert(file.end(), file.begin() + 0x100, file.begin() + 0x100 + (wide ? 2 : 1));
  return file;
}

}  // namespace kvt::test
