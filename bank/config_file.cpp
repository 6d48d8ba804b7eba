#include "config_file.h"

#include <stdexcept>

namespace kvt::bank {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void add16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

// A table: `count` word entries, each the offset from the table's start of
// its item, or undefined; the items follow the entries.
class Table {
 public:
  explicit Table(std::size_t count) : bytes_(2 * count, 0xFF) {}
  void set(std::size_t entry, const Bytes& item) {
    if (bytes_.size() >= kUndefined) throw std::length_error("configuration table over 64 KB");
    put16(bytes_, 2 * entry, static_cast<std::uint32_t>(bytes_.size()));
    bytes_.insert(bytes_.end(), item.begin(), item.end());
  }
  void share(std::size_t entry, std::size_t with) {
    bytes_[2 * entry] = bytes_[2 * with];
    bytes_[2 * entry + 1] = bytes_[2 * with + 1];
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

Bytes layer_bytes(const Layer* l) {
  Bytes b;
  if (l == nullptr) return Bytes(7, 0);
  add16(b, l->split_index);
  b.insert(b.end(), {l->envelope_set, l->level_scale, l->vibrato_step, l->vibrato_delay,
                     static_cast<std::uint8_t>(l->detune)});
  return b;
}

// A program row: bank, layer count, two layers of 7 bytes.
void add_row(Bytes& item, std::uint8_t bank, const std::vector<Layer>& layers) {
  item.push_back(bank);
  item.push_back(static_cast<std::uint8_t>(layers.size()));
  for (int i = 0; i < 2; ++i) {
    const Bytes l = layer_bytes(i < static_cast<int>(layers.size()) ? &layers[i] : nullptr);
    item.insert(item.end(), l.begin(), l.end());
  }
}

Table pcm_table(const Config& c) {
  Table t(c.pcm.size());
  for (std::size_t i = 0; i < c.pcm.size(); ++i) {
    if (c.pcm[i].name.empty()) continue;
    Bytes item;
    item.push_back(c.pcm[i].key);
    for (const char ch : c.pcm[i].name) item.push_back(static_cast<std::uint8_t>(ch));
    item.push_back(0);
    t.set(i, item);
  }
  return t;
}

Table split_table(const Config& c) {
  Table t(c.multi.size());
  for (std::size_t i = 0; i < c.multi.size(); ++i) {
    Bytes item;
    for (const Split& s : c.multi[i]) {
      add16(item, s.pcm);
      for (std::int8_t v : {s.volume, s.transpose, s.low_key, s.high_key}) item.push_back(static_cast<std::uint8_t>(v));
    }
    t.set(i, item);
  }
  return t;
}

Table program_table(const Config& c) {
  Table t(c.programs.size());
  for (std::size_t p = 0; p < c.programs.size(); ++p) {
    const Program& program = c.programs[p];
    Bytes item;
    add_row(item, 0, program.layers);
    for (const ProgramVariant& v : program.variants) add_row(item, v.bank, v.layers);
    item.resize(item.size() + 16, 0);  // a row with bank 0 ends the list
    t.set(p, item);
  }
  return t;
}

Table drum_table(const Config& c) {
  Table t(c.kit_of_program.size());
  std::vector<int> first_program(c.kits.size(), -1);
  for (std::size_t p = 0; p < c.kit_of_program.size(); ++p) {
    const int kit = c.kit_of_program[p];
    if (first_program[kit] >= 0) {
      t.share(p, first_program[kit]);
      continue;
    }
    first_program[kit] = static_cast<int>(p);
    Bytes item;
    for (const DrumKey& k : c.kits[kit]) {
      add16(item, k.pcm);
      item.insert(item.end(), {k.envelope_set, static_cast<std::uint8_t>(k.pitch), static_cast<std::uint8_t>(k.level), k.pan, 0, 0});
    }
    t.set(p, item);
  }
  return t;
}

}  // namespace

Bytes config_file_bytes(const Config& c) {
  Bytes b(0x28, 0);
  const char id[16] = "KVT97 VOICE CFG";
  std::copy(id, id + 16, b.begin());
  const Table tables[] = {pcm_table(c), split_table(c), program_table(c), drum_table(c)};
  const std::uint32_t counts[] = {static_cast<std::uint32_t>(c.pcm.size()), static_cast<std::uint32_t>(c.multi.size())};
  for (int i = 0; i < 4; ++i) {
    const auto offset = static_cast<std::uint32_t>(b.size());
    const std::size_t field = i < 2 ? 0x10 + 8 * i : 0x20 + 4 * (i - 2);
    put16(b, field, offset & 0xFFFF);
    put16(b, field + 2, offset >> 16);
    if (i < 2) {
      put16(b, field + 4, counts[i] & 0xFFFF);
      put16(b, field + 6, counts[i] >> 16);
    }
    b.insert(b.end(), tables[i].bytes().begin(), tables[i].bytes().end());
  }
  return b;
}

}  // namespace kvt::bank
