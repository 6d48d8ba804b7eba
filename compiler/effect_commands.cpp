// Pitch swing, envelope control, volume sequences and the effect units.
#include <cmath>

#include "error_report.h"
#include "object_writer.h"
#include "operands.h"
#include "part_commands.h"
#include "source_reader.h"

namespace kvt::compiler {
namespace {

constexpr int kVolumeLimit = 63;
constexpr int kSequenceSegments = 8;

// A length of 1 to 255 steps, the default length when left out.
int segment_length(Compiler& c, int length) {
  if (length == kOmitted) length = c.slen;
  if (length < 1 || length > 255) error(c, 3);  // a divisor, and one byte
  return length;
}

// Envelope parameters by index: their names and ranges.
struct EnvelopeParameter {
  const char* name;
  int lower, upper;
};

constexpr EnvelopeParameter kEnvelope[] = {
    {"AL", 0, 127}, {"AR", 0, 95},    {"DR", 0, 95}, {"SL", -127, 127}, {"DRB", 0, 95},
    {"SLB", -127, 127}, {"SR", 0, 95}, {"RR", 0, 95}, {"TL", 0, 127},    {"MR", 0, 12},
};
constexpr int kLastParameter = 9;

// The parameter a name selects; the next character is its first letter.
int envelope_index(Compiler& c) {
  const char first = getstr(c);
  if ((first >= '0' && first <= '9') || first == ',') return 0;
  nextstr(c);  // `first`, unless it is the end mark
  const char second = nextstr(c);
  for (int i = 0; i <= kLastParameter; ++i) {
    const char* name = kEnvelope[i].name;
    if (name[0] != first || name[1] != second || name[2] != '\0') continue;
    if ((i == 2 || i == 3) && accept(c, 'B')) return i + 2;  // DRB, SLB
    return i;
  }
  error(c, 2);
}

// A number, or a "," with no number after it, which leaves the parameter
// as it is (0x80). Anything else is a missing number.
int envelope_value(Compiler& c, int index) {
  const EnvelopeParameter& e = kEnvelope[index];
  const bool comma = getstr(c) == ',';
  const int value = getdeci(c, e.lower, e.upper, comma ? 1 : 0);
  return value == kOmitted ? 0x80 : value;
}

// The choir preset, one row per tap: level cut, then the tap operands.
struct ChoirTap {
  int cut, d, e, f, g, h;
};

constexpr ChoirTap kChoir[8] = {
    {0, 0, 10, 2, 144, 1}, {10, 0, 25, 2, 98, 1}, {15, 0, 35, 4, 106, 1}, {18, 0, 30, 4, 128, 1},
    {30, 0, 15, 3, 110, 1}, {39, 0, 29, 2, 90, 1}, {13, 0, 21, 2, 88, 1}, {30, 0, 19, 2, 76, 1},
};

void choir_command(Compiler& c) {
  const int unit = getdeci(c, 0, 5, 0);
  const int bus = getdeci(c, 0, 1, 0);
  const int third = getdeci(c, -1, 3, 0);
  const int level = getdeci(c, 0, 255, 0);
  const int count = getdeci(c, 2, 8, 0);
  const int pairs = getdeci(c, 0, 4, 0);
  put(c, 0xE6);
  put(c, unit);
  put(c, bus);
  put(c, third);
  for (int i = 0; i < count; ++i) {
    const ChoirTap& t = kChoir[i];
    put(c, 0x7D);
    put(c, unit);
    put(c, i);
    put(c, level > t.cut ? level - t.cut : 0);
    put(c, t.d);
    put16(c, t.e);
    put(c, t.f);
    put(c, t.g);
    put(c, t.h);
    put(c, i < 2 * pairs ? i % 2 + 1 : 0);
  }
}

}  // namespace

void swing_command(Compiler& c) {
  const int n = getdeci(c, -95, 95, 0);
  put(c, 0xE0);
  if (n == 0) {
    put16(c, 0);
    return;
  }
  const int length = segment_length(c, accept(c, ',') ? getol(c) : kOmitted);
  const double power = std::pow(2.0, 28 + n / 12.0);
  const std::uint32_t reach = static_cast<std::uint32_t>(static_cast<std::int64_t>(power)) - (1u << 28);
  put16(c, 2 * length);
  put32(c, static_cast<std::uint32_t>(static_cast<std::int32_t>(reach) / length));
}

void envelope_command(Compiler& c) {
  put(c, 0x78);
  if (accept(c, 'N')) {
    const int n = getdeci(c, 0, 3, 1);
    put(c, 0x10 + (n == kOmitted ? 4 : n));
    return;
  }
  int index = envelope_index(c);
  put(c, index);
  const int count_at = c.objp;
  skip(c);
  int count = 0;
  do {
    put(c, envelope_value(c, index));
    ++count;
    ++index;
  } while (index <= kLastParameter && getstr(c) == ',');
  poke(c, count_at, count);
}

void sequence_command(Compiler& c) {
  const int mode = getdeci(c, 0, 3, 0);
  put(c, 0xE7);
  put(c, mode);
  if (mode == 0) return;
  int volume = getdeci(c, -kVolumeLimit, kVolumeLimit, 0);
  put(c, volume);
  int segments = 0;
  for (;;) {
    accept(c, ',');
    const int length = getol(c);
    if (length == kOmitted) break;
    if (++segments > kSequenceSegments) error(c, 2);
    const int steps = segment_length(c, length);
    const int change = getdeci(c, -kVolumeLimit, kVolumeLimit, 0);
    volume += change;
    if (volume < -kVolumeLimit || volume > kVolumeLimit) error(c, 3);
    put(c, steps);
    put16(c, change * 256 / steps);
  }
  if (segments == 0) error(c, 2);
  put(c, 0);
}

void sharp_command(Compiler& c) {
  PartState& p = c.part;
  const char which = nextstr(c);
  switch (which) {
    case '0':
    case '1':
      put(c, 0x7B);
      put(c, which - '0');
      return;
    case 'k':
      put(c, 0x69);
      put(c, getdeci(c, 0, 127, 0));
      return;
    case 'B':
      put(c, 0xE6);
      put_operands(c, {{0, 5}, {0, 1}, {-1, 3}});
      break;
    case 'G':
      put(c, 0x7D);
      put_operands(c, {{0, 5}, {0, 7}, {0, 255}, {0, 255}, {0, 127, 2}, {0, 255}, {0, 255}, {0, 255}, {0, 3}});
      break;
    case 'R': {
      const int level = getdeci(c, 0, 255, 0);
      put(c, 0x7C);
      put(c, level);
      if (level != 0) put_operands(c, {{0, 255}, {0, 255, 2}, {0, 2}});
      break;
    }
    case 'C': choir_command(c); break;
    default: error(c, 2);
  }
  p.ndflag = 1;
}

}  // namespace kvt::compiler
