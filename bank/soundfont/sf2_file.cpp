#include "sf2_file.h"

#include <cstring>
#include <string_view>

namespace kvt::soundfont {
namespace {

// A bounded view of the file's bytes.
class Reader {
 public:
  Reader(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
  std::size_t size() const { return n_; }
  std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(p_[at] | p_[at + 1] << 8); }
  std::uint32_t u32(std::size_t at) const { return u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16; }
  std::uint8_t u8(std::size_t at) const { return p_[at]; }
  bool is(std::size_t at, const char* id) const { return std::memcmp(p_ + at, id, 4) == 0; }
  Reader sub(std::size_t at, std::size_t n) const { return Reader(p_ + at, n); }
  std::string text(std::size_t at, std::size_t n) const {
    std::string s;
    for (std::size_t i = 0; i < n && p_[at + i] != 0; ++i) s += static_cast<char>(p_[at + i]);
    return s;
  }

 private:
  const std::uint8_t* p_;
  std::size_t n_;
};

struct Chunk {
  std::size_t at;  // of its data
  std::size_t size;
  char id[5];
};

// The chunks inside a list body, each checked to lie within it.
std::vector<Chunk> chunks(const Reader& r, std::size_t from, std::size_t end, const char* where) {
  std::vector<Chunk> list;
  std::size_t at = from;
  while (at + 8 <= end) {
    Chunk c{at + 8, r.u32(at + 4), {}};
    for (int i = 0; i < 4; ++i) c.id[i] = static_cast<char>(r.u8(at + i));
    c.id[4] = '\0';
    if (c.size > end - c.at) throw Sf2Error(std::string("the ") + c.id + " chunk in " + where + " runs past its end");
    list.push_back(c);
    at = c.at + c.size + (c.size & 1);
  }
  return list;
}

const Chunk* find(const std::vector<Chunk>& list, std::string_view id) {
  for (const Chunk& c : list)
    if (id == c.id) return &c;
  return nullptr;
}

// The body of the LIST chunk of the given type.
const Chunk* find_list(const Reader& r, const std::vector<Chunk>& list, const char* type) {
  for (const Chunk& c : list)
    if (std::string_view(c.id) == "LIST" && c.size >= 4 && r.is(c.at, type)) return &c;
  return nullptr;
}

// A hydra table: its records of `width` bytes; at least the terminal one.
struct Table {
  std::size_t at;
  std::size_t count;
};

Table table(const std::vector<Chunk>& list, const char* id, std::size_t width) {
  const Chunk* c = find(list, id);
  if (c == nullptr) throw Sf2Error(std::string("no ") + id + " chunk");
  if (c->size % width != 0 || c->size < width) throw Sf2Error(std::string("the ") + id + " chunk has a bad size");
  return {c->at, c->size / width};
}

// Zones of items whose bag indexes are in `bag_at(i)`, i < count (the last
// item is the terminal record).
template <typename BagIndex>
std::vector<std::vector<Zone>> zones_of(const Reader& r, std::size_t items, BagIndex bag_at, const Table& bags,
                                        const Table& gens, const char* what) {
  std::vector<std::vector<Zone>> out(items - 1);
  for (std::size_t i = 0; i + 1 < items; ++i) {
    const std::size_t first = bag_at(i), last = bag_at(i + 1);
    if (first > last || last >= bags.count) throw Sf2Error(std::string("a ") + what + " has bad zone indexes");
    for (std::size_t b = first; b < last; ++b) {
      const std::size_t g0 = r.u16(bags.at + 4 * b), g1 = r.u16(bags.at + 4 * (b + 1));
      if (g0 > g1 || g1 >= gens.count) throw Sf2Error(std::string("a ") + what + " zone has bad generator indexes");
      Zone z;
      for (std::size_t g = g0; g < g1; ++g)
        z.generators.push_back({r.u16(gens.at + 4 * g), r.u16(gens.at + 4 * g + 2)});
      out[i].push_back(std::move(z));
    }
  }
  return out;
}

void read_samples(const Reader& r, const std::vector<Chunk>& sdta, Sf2File& f) {
  const Chunk* smpl = find(sdta, "smpl");
  if (smpl == nullptr) throw Sf2Error("no sample data");
  f.data.resize(smpl->size / 2);
  for (std::size_t i = 0; i < f.data.size(); ++i) f.data[i] = static_cast<std::int16_t>(r.u16(smpl->at + 2 * i));
}

void read_sample_headers(const Reader& r, const std::vector<Chunk>& pdta, Sf2File& f) {
  const Table shdr = table(pdta, "shdr", 46);
  for (std::size_t i = 0; i + 1 < shdr.count; ++i) {
    const std::size_t at = shdr.at + 46 * i;
    Sample s{r.text(at, 20), r.u32(at + 20), r.u32(at + 24), r.u32(at + 28),
             r.u32(at + 32), r.u32(at + 36), r.u8(at + 40),  static_cast<std::int8_t>(r.u8(at + 41)),
             r.u16(at + 42), r.u16(at + 44)};
    if (s.type & 0x8000) s.start = s.end = s.loop_start = s.loop_end = 0;  // in a ROM this file does not hold
    if (s.start > s.end || s.end > f.data.size())
      throw Sf2Error("sample \"" + s.name + "\" lies outside the sample data");
    if (s.rate == 0) throw Sf2Error("sample \"" + s.name + "\" has no sample rate");
    f.samples.push_back(std::move(s));
  }
}

}  // namespace

Sf2File read_sf2(const std::uint8_t* bytes, std::size_t size) {
  const Reader r(bytes, size);
  if (size < 12 || !r.is(0, "RIFF") || !r.is(8, "sfbk")) throw Sf2Error("not a SoundFont 2 file");
  const std::size_t end = std::min<std::size_t>(size, std::size_t{r.u32(4)} + 8);
  const std::vector<Chunk> top = chunks(r, 12, end, "the file");
  const Chunk* sdta = find_list(r, top, "sdta");
  const Chunk* pdta = find_list(r, top, "pdta");
  if (sdta == nullptr || pdta == nullptr) throw Sf2Error("no sample data or no preset data");
  Sf2File f;
  read_samples(r, chunks(r, sdta->at + 4, sdta->at + sdta->size, "the sample data"), f);
  const std::vector<Chunk> hydra = chunks(r, pdta->at + 4, pdta->at + pdta->size, "the preset data");
  read_sample_headers(r, hydra, f);

  const Table phdr = table(hydra, "phdr", 38), pbag = table(hydra, "pbag", 4), pgen = table(hydra, "pgen", 4);
  const Table inst = table(hydra, "inst", 22), ibag = table(hydra, "ibag", 4), igen = table(hydra, "igen", 4);
  auto preset_zones = zones_of(
      r, phdr.count, [&](std::size_t i) { return r.u16(phdr.at + 38 * i + 24); }, pbag, pgen, "preset");
  for (std::size_t i = 0; i + 1 < phdr.count; ++i) {
    const std::size_t at = phdr.at + 38 * i;
    f.presets.push_back({r.text(at, 20), r.u16(at + 20), r.u16(at + 22), std::move(preset_zones[i])});
  }
  auto inst_zones = zones_of(
      r, inst.count, [&](std::size_t i) { return r.u16(inst.at + 22 * i + 20); }, ibag, igen, "instrument");
  for (std::size_t i = 0; i + 1 < inst.count; ++i) {
    f.instruments.push_back({r.text(inst.at + 22 * i, 20), std::move(inst_zones[i])});
  }
  return f;
}

}  // namespace kvt::soundfont
