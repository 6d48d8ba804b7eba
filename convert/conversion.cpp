#include "conversion.h"

#include <memory>
#include <new>

#include "channel_events.h"
#include "converter_context.h"
#include "meta_events.h"
#include "part_writer.h"
#include "smf_reader.h"
#include "song_assembly.h"
#include "system_exclusive.h"

namespace kvt::convert {
namespace {

constexpr int kDrumChannel = 10;

void channel_event(Converter& c, int status, int channel) {
  switch (status) {
    case 0x80: note_off_event(c, channel); break;
    case 0x90: note_on_event(c, channel); break;
    case 0xB0: control_change_event(c, channel); break;
    case 0xC0: program_change_event(c, channel); break;
    case 0xE0: pitch_bend_event(c, channel); break;
    case 0xA0:  // key pressure: read and ignored
      fgetc2(c.input);
      fgetc2(c.input);
      break;
    default:  // channel pressure
      fgetc2(c.input);
      break;
  }
}

bool open_file(Converter& c, const std::string& path, const char* mode, memory_file& file) {
  if (fopen2(path, mode, file, c.messages)) return true;
  c.messages.append("ERROR! File open error '%s'\n", path.c_str());
  return false;
}

// Every part is given its time up to the end of the song, so the song
// ends with its last track, and a note still sounding ends there.
void close_parts(Converter& c) {
  c.now = c.song_end;
  for (Channel& ch : c.channels)
    for (Part& p : ch.parts) write_time(c, p);
}

void run(Converter& c, const std::string& mid_path, const std::string& cfg_path, const std::string& kvt_path) {
  memory_file cfg;
  if (!open_file(c, cfg_path, "rb", cfg)) throw Stop{};
  if (!c.config.load(cfg.buffer)) {
    c.messages.append("ERROR! abnormal configuration file '%s'\n", cfg_path.c_str());
    throw Stop{};
  }
  if (!open_file(c, mid_path, "rb", c.input)) throw Stop{};
  const std::string out = kvt_path.empty() ? derived_song_path(mid_path) : kvt_path;
  if (!open_file(c, out, "wb", c.output)) throw Stop{};
  write_header_skeleton(c);
  c.channels[kDrumChannel].drum_map = 1;
  c.slot_key.fill(0xFF);
  for (int b = 0; b < 16; ++b) c.block_channel[b] = b + 1;

  read_smf_header(c);
  add_part(c, 0);  // the conductor
  scan_tracks(c);
  merge_tracks(c, {channel_event, system_exclusive_event, song_meta_event});
  close_parts(c);
  assemble_song(c);
  if (!fclose2(c.output, c.messages)) throw Stop{};
}

}  // namespace

std::string derived_song_path(const std::string& mid_path) {
  const auto dot = mid_path.rfind('.');
  return (dot == std::string::npos ? mid_path : mid_path.substr(0, dot)) + ".kvt";
}

int convert_midi(const std::string& mid_path, const std::string& cfg_path, const std::string& kvt_path,
                 const mid2kvt_settings& settings, const kvt_message_view* view, char* messages, std::size_t size) {
  auto c = std::make_unique<Converter>();
  c->messages = {messages, size, view};
  c->settings = settings;
  c->messages.append(".mid->.kvt Converter Ver1.56 ... '%s'\n\n", mid_path.c_str());
  c->messages.repaint(true);
  try {
    run(*c, mid_path, cfg_path, kvt_path);
  } catch (const Stop&) {
    c->messages.repaint(false);
    return 1;
  } catch (const std::bad_alloc&) {
    c->messages.append("Out of Memory\n");
    c->messages.repaint(false);
    return 1;
  }
  c->messages.append("\n");
  c->messages.repaint(true);
  return 0;
}

}  // namespace kvt::convert
