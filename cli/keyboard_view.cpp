#include "keyboard_view.h"

#include <algorithm>
#include <string_view>

#include "display_text.h"
#include "terminal_columns.h"

namespace kvt::cli {
namespace {

constexpr int kOctaveKeys = 12;
constexpr int kOctaves = KVT_VIEW_KEYS / kOctaveKeys;
constexpr int kNameColumns = 14;  // a name longer than this takes the narrow font in a window
// One octave from C to B: white keys '-', black keys '#'.
constexpr std::string_view kOctaveShapes = "-#-#--#-#-#-";
constexpr const char* kDown = "\033[7m";
constexpr const char* kPlain = "\033[0m";

// A song's texts may hold control characters, which would move the cursor
// or change the terminal's state; each becomes '?'.
std::string printable(const char* bytes) {
  const std::string text = frontend::to_utf8(bytes);
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool c1 = byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (byte < 0x20 || byte == 0x7F || c1) {
      shown += '?';
      if (c1) ++i;
    } else {
      shown += text[i];
    }
  }
  return shown;
}

// The first of `octaves` octaves shown: the one that puts the middle of the
// keys in use nearest the middle of the keyboard shown; before any key was
// down, the middle of the whole keyboard.
int first_octave(const KeysInUse& keys, int octaves) {
  // Twice the middle, so that it stays whole.
  const int twice_middle = keys.any() ? keys.lowest() + keys.highest() + 1 : KVT_VIEW_KEYS;
  // Where a keyboard around it would start, rounded to the nearest octave;
  // a negative quotient is clamped to 0 anyway.
  const int nearest = (twice_middle - octaves * kOctaveKeys + kOctaveKeys) / (2 * kOctaveKeys);
  return std::clamp(nearest, 0, kOctaves - octaves);
}

std::string keyboard(const unsigned char (&lit)[KVT_VIEW_KEYS], int first_key, int count) {
  std::string row;
  for (int key = first_key; key < first_key + count; ++key) {
    const char shape = kOctaveShapes[key % kOctaveKeys];
    if (lit[key] != 0) {
      row += kDown;
      row += shape;
      row += kPlain;
    } else {
      row += shape;
    }
  }
  return row;
}

}  // namespace

void KeysInUse::add(const kvt_view_snapshot& snapshot) {
  for (const auto& row : snapshot.lit) {
    for (int key = 0; key < KVT_VIEW_KEYS; ++key) {
      if (row[key] == 0) continue;
      lowest_ = std::min(lowest_, key);
      highest_ = std::max(highest_, key);
    }
  }
}

std::vector<std::string> keyboard_lines(const kvt_view_snapshot& snapshot, int columns, const KeysInUse& keys) {
  const std::string settings = printable(snapshot.rate_label) + "  " + printable(snapshot.channel_label) + "  " +
                               printable(snapshot.effect_label);
  std::vector<std::string> lines;
  for (const std::string& header : {printable(snapshot.file_line), printable(snapshot.title_line), settings}) {
    lines.emplace_back(fit_columns(header, columns));
  }
  const int octaves = std::clamp((columns - kNameColumns - 1) / kOctaveKeys, 0, kOctaves);
  const int first_key = first_octave(keys, octaves) * kOctaveKeys;
  for (int row = 0; row < KVT_VIEW_ROWS; ++row) {
    std::string line = pad_columns(printable(snapshot.names[row]), std::min(kNameColumns, columns));
    if (octaves > 0) line += ' ' + keyboard(snapshot.lit[row], first_key, octaves * kOctaveKeys);
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace kvt::cli
