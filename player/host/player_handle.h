// One player as a front end holds it: real-time playback of songs and of
// WAVE files through sinks of its own, reporting to its front end and its
// notify target.
#pragma once

#include <functional>
#include <memory>

#include "audio_sink.h"
#include "kvt/player.h"
#include "output_options.h"
#include "player_context.h"
#include "visual_player.h"
#include "realtime_playback.h"
#include "wave_device.h"
#include "wave_file_playback.h"

namespace kvt::host {

using SinkMaker = std::function<std::unique_ptr<AudioSink>()>;

inline std::unique_ptr<AudioSink> sound_card() { return std::make_unique<WaveDevice>(); }

struct PlayerHandle {
  PlayerHandle(const kvt_host_ui* front_end, const kvt_notify_target* target, const SinkMaker& make_sink = sound_card)
      : notify(target != nullptr ? *target : kvt_notify_target{}), songs(player, view, make_sink()),
        waves(make_sink()) {
    if (front_end != nullptr) player.ui.callbacks = *front_end;
  }

  kvt_notify_target notify;
  OutputOptions output;  // of the next song
  Player player;
  VisualPlayer view;
  RealtimePlayback songs;
  WaveFilePlayback waves;
};

}  // namespace kvt::host

// What the C exports hand out as a player.
struct kvt_player : kvt::host::PlayerHandle {
  using PlayerHandle::PlayerHandle;
};

namespace kvt::host {

// The player of the original exports, made at first use.
kvt_player& default_player();

}  // namespace kvt::host
