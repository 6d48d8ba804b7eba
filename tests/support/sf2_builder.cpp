#include "sf2_builder.h"

#include <cmath>
#include <cstring>

namespace kvt::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void add16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void add32(Bytes& b, std::uint32_t v) {
  add16(b, v & 0xFFFF);
  add16(b, v >> 16);
}

void add_name(Bytes& b, const std::string& name) {
  char field[20] = {};
  std::memcpy(field, name.data(), std::min<std::size_t>(name.size(), 19));
  b.insert(b.end(), field, field + 20);
}

Bytes chunk(const char* id, const Bytes& body) {
  Bytes b(id, id + 4);
  add32(b, static_cast<std::uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() % 2) b.push_back(0);
  return b;
}

Bytes list(const char* type, const std::vector<Bytes>& chunks) {
  Bytes body(type, type + 4);
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return chunk("LIST", body);
}

// Bags and generators of a list of items' zones; each item's first bag index.
struct Hydra {
  Bytes bags, gens;
  std::vector<std::uint16_t> first_bag;
  std::uint16_t bag_count = 0, gen_count = 0;
  void add_item(const std::vector<Sf2Zone>& zones) {
    first_bag.push_back(bag_count);
    for (const Sf2Zone& z : zones) {
      add16(bags, gen_count);
      add16(bags, 0);
      ++bag_count;
      for (const auto& [oper, amount] : z) {
        add16(gens, oper);
        add16(gens, amount);
        ++gen_count;
      }
    }
  }
  void finish() {
    first_bag.push_back(bag_count);
    add16(bags, gen_count);
    add16(bags, 0);
    add32(gens, 0);
  }
};

std::vector<std::int16_t> sine(int period, int periods, double amplitude) {
  std::vector<std::int16_t> s;
  for (int i = 0; i < period * periods; ++i)
    s.push_back(static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * i / period))));
  return s;
}

}  // namespace

std::uint16_t key_range(int low, int high) { return static_cast<std::uint16_t>(low | high << 8); }

Bytes sf2_file(const std::vector<Sf2Preset>& presets, const std::vector<Sf2Instrument>& instruments,
               const std::vector<Sf2Sample>& samples) {
  Bytes smpl, shdr;
  for (const Sf2Sample& s : samples) {
    const auto start = static_cast<std::uint32_t>(smpl.size() / 2);
    for (std::int16_t x : s.data) add16(smpl, static_cast<std::uint16_t>(x));
    smpl.resize(smpl.size() + 2 * 46, 0);  // the silence every sample is followed by
    add_name(shdr, s.name);
    for (std::uint32_t v :
         {start, start + static_cast<std::uint32_t>(s.data.size()), start + s.loop_start, start + s.loop_end, s.rate})
      add32(shdr, v);
    shdr.push_back(s.pitch);
    shdr.push_back(static_cast<std::uint8_t>(s.correction));
    add16(shdr, s.link);
    add16(shdr, s.type);
  }
  add_name(shdr, "EOS");
  shdr.resize(shdr.size() + 26, 0);

  Hydra p, i;
  for (const Sf2Preset& preset : presets) p.add_item(preset.zones);
  p.finish();
  for (const Sf2Instrument& inst : instruments) i.add_item(inst.zones);
  i.finish();
  Bytes phdr, inst;
  for (std::size_t n = 0; n <= presets.size(); ++n) {
    add_name(phdr, n < presets.size() ? presets[n].name : "EOP");
    add16(phdr, n < presets.size() ? presets[n].program : 0);
    add16(phdr, n < presets.size() ? presets[n].bank : 0);
    add16(phdr, p.first_bag[n]);
    phdr.resize(phdr.size() + 12, 0);
  }
  for (std::size_t n = 0; n <= instruments.size(); ++n) {
    add_name(inst, n < instruments.size() ? instruments[n].name : "EOI");
    add16(inst, i.first_bag[n]);
  }
  const Bytes no_modulators(10, 0);
  Bytes version;
  add16(version, 2);
  add16(version, 1);
  const Bytes body = [&] {
    Bytes b{'s', 'f', 'b', 'k'};
    for (const Bytes& l : {list("INFO", {chunk("ifil", version), chunk("INAM", Bytes{'T', 'e', 's', 't', 0, 0})}),
                           list("sdta", {chunk("smpl", smpl)}),
                           list("pdta", {chunk("phdr", phdr), chunk("pbag", p.bags), chunk("pmod", no_modulators),
                                         chunk("pgen", p.gens), chunk("inst", inst), chunk("ibag", i.bags),
                                         chunk("imod", no_modulators), chunk("igen", i.gens), chunk("shdr", shdr)})})
      b.insert(b.end(), l.begin(), l.end());
    return b;
  }();
  return chunk("RIFF", body);
}

// Generator numbers of the SoundFont format.
enum : std::uint16_t {
  kPan = 17,
  kAttack = 34,
  kDecay = 36,
  kSustain = 37,
  kRelease = 38,
  kInstrument = 41,
  kKeys = 43,
  kVels = 44,
  kSampleId = 53,
  kModes = 54,
  kRootKey = 58,
};

Bytes test_soundfont() {
  std::vector<Sf2Sample> samples = {
      {"low", sine(50, 60, 12000), 22050, 60, 0, 1000, 3000},
      {"high", sine(64, 50, 12000), 32000, 72, 7, 640, 3200},
      {"click", sine(20, 30, 20000), 44100, 60},
      {"hatL", sine(30, 40, 8000), 22050, 60, 0, 0, 0, 4, 4},
      {"hatR", sine(30, 40, 8000), 22050, 60, 0, 0, 0, 2, 3},
  };
  const auto tc = [](double seconds) { return static_cast<std::uint16_t>(std::lround(1200 * std::log2(seconds))); };
  const std::vector<Sf2Instrument> instruments = {
      {"keys",
       {{{kAttack, tc(0.1)}, {kDecay, 0}, {kSustain, 200}, {kRelease, tc(0.5)}},
        {{kKeys, key_range(0, 127)}, {kVels, key_range(0, 50)}, {kSampleId, 2}},
        {{kKeys, key_range(0, 59)}, {kVels, key_range(51, 127)}, {kModes, 1}, {kSampleId, 0}},
        {{kKeys, key_range(60, 127)}, {kVels, key_range(51, 127)}, {kModes, 1}, {kSampleId, 1}}}},
      {"pluck", {{{kRootKey, 64}, {kSampleId, 2}}}},
      {"kit",
       {{{kKeys, key_range(36, 36)}, {kRelease, 0}, {kSampleId, 2}},
        {{kKeys, key_range(42, 42)}, {kPan, static_cast<std::uint16_t>(-500)}, {kSampleId, 3}},
        {{kKeys, key_range(42, 42)}, {kPan, 500}, {kSampleId, 4}}}},
  };
  const std::vector<Sf2Preset> presets = {
      {"Keys", 0, 0, {{{kInstrument, 0}}}},
      {"Kit", 0, 128, {{{kInstrument, 2}}}},
      {"Pluck", 5, 0, {{{kInstrument, 1}}}},
  };
  return sf2_file(presets, instruments, samples);
}

}  // namespace kvt::test
