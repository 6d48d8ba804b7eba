#include "bank_contents.h"

#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

#include "drums.h"
#include "gm_map.h"
#include "melodic.h"

namespace kvt::bank {
namespace {

constexpr int kPrograms = 128;
constexpr int kKeys = 128;
constexpr std::int8_t kSplitKey = 60;  // the high sample from middle C up

// Where each sound's voices are: the low (or only) voice's PCM number.
using SoundIndex = std::map<std::string, int>;

struct Melodic {
  SoundIndex low;  // the high voice follows the low one
  SoundIndex top;  // after the drums, so that the older numbers stay
};

std::vector<Split> melodic_splits(const std::string& sound, const Melodic& melodic, int low_voice) {
  const auto low = static_cast<std::uint16_t>(low_voice);
  const auto top = melodic.top.find(sound);
  const std::int8_t high_end = top == melodic.top.end() ? 127 : kTopSplitKey - 1;
  std::vector<Split> list{{low, 0, 12, 0, kSplitKey - 1},
                          {static_cast<std::uint16_t>(low + 1), 0, -12, kSplitKey, high_end}};
  if (top != melodic.top.end()) list.push_back({static_cast<std::uint16_t>(top->second), 0, -12, kTopSplitKey, 127});
  return list;
}

std::vector<Split> splits_for(const std::string& sound, const Melodic& melodic, const SoundIndex& drums) {
  if (const auto m = melodic.low.find(sound); m != melodic.low.end()) return melodic_splits(sound, melodic, m->second);
  const auto d = drums.find(sound);
  if (d == drums.end()) throw std::logic_error("no sound " + sound);
  return {{static_cast<std::uint16_t>(d->second), 0, 0, 0, 127}};
}

std::vector<DrumKey> standard_kit(const SoundIndex& drums) {
  std::vector<DrumKey> kit(kKeys);
  for (int i = 0; i < kStandardKitSize; ++i) {
    const DrumKeyVoice& k = kStandardKit[i];
    DrumKey& key = kit[k.key];
    key.pcm = static_cast<std::uint16_t>(drums.at(k.drum));
    key.pitch = k.pitch;
    key.pan = k.pan;
  }
  return kit;
}

}  // namespace

Bank make_bank() {
  Bank bank;
  Melodic melodic;
  SoundIndex drums;
  std::vector<std::pair<std::string, VoiceFile>> tops;
  std::uint32_t seed = 1;
  for (const Instrument& in : instruments()) {
    melodic.low[in.id] = kFirstPcmVoice + static_cast<int>(bank.voices.size());
    std::vector<VoiceFile> made = instrument_voices(in, seed);
    if (made.size() > 2) {
      tops.emplace_back(in.id, std::move(made.back()));
      made.pop_back();
    }
    for (VoiceFile& v : made) bank.voices.push_back(std::move(v));
    seed += 2;
  }
  for (DrumVoice& d : drum_voices()) {
    drums[d.voice.name] = kFirstPcmVoice + static_cast<int>(bank.voices.size());
    bank.voices.push_back(std::move(d.voice));
  }
  for (auto& [id, voice] : tops) {
    melodic.top[id] = kFirstPcmVoice + static_cast<int>(bank.voices.size());
    bank.voices.push_back(std::move(voice));
  }

  Config& c = bank.config;
  c.pcm.resize(kFirstPcmVoice);
  for (const VoiceFile& v : bank.voices) c.pcm.push_back({v.one_shot ? kDrumKey : kMelodicKey, v.name});
  for (int p = 0; p < kPrograms; ++p) {
    const ProgramVoice& pv = program_voice(p);
    c.multi.push_back(splits_for(pv.sound, melodic, drums));
    c.programs.push_back(Program{{Layer{static_cast<std::uint16_t>(p), pv.envelope_set, pv.level_scale,
                                        pv.vibrato_step, pv.vibrato_delay, 0}}, {}});
  }
  c.kits.push_back(standard_kit(drums));
  c.kit_of_program.assign(kPrograms, 0);
  return bank;
}

}  // namespace kvt::bank
