// A dense song for the benchmarks: parts that sound all the time, with
// both effect stages, over one looped voice.
#pragma once

#include "song_builder.h"

namespace kvt::bench {

// A looping part holding long notes at staggered pitches; part 1 also sets
// up the reverb and a chorus tap.
test::Bytes busy_part(int index);
test::VoiceParams tone_voice();

}  // namespace kvt::bench
