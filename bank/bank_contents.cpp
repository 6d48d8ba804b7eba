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

std::vector<Split> splits_for(const std::string& sound, const SoundIndex& melodic, const SoundIndex& drums) {
  if (const auto m = melodic.find(sound); m != melodic.end()) {
    const auto low = static_cast<std::uint16_t>(m->second);
    return {{low, 0, 12, 0, kSplitKey - 1}, {static_cast<std::uint16_t>(low + 1), 0, -12, kSplitKey, 127}};
  }
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
  SoundIndex melodic, drums;
  std::uint32_t seed = 1;
  for (const Instrument& in : instruments()) {
    melodic[in.id] = kFirstPcmVoice + static_cast<int>(bank.voices.size());
    for (VoiceFile& v : instrument_voices(in, seed)) bank.voices.push_back(std::move(v));
    seed += 2;
  }
  for (DrumVoice& d : drum_voices()) {
    drums[d.voice.name] = kFirstPcmVoice + static_cast<int>(bank.voices.size());
    bank.voices.push_back(std::move(d.voice));
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
