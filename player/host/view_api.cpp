// The visual player's C exports, over the default player's view (and a
// handle's, for its snapshot).
#include "export_barrier.h"
#include "kvt/player.h"
#include "player_handle.h"

namespace {

kvt::host::ViewWindow& window() { return kvt::host::default_player().view.window(); }

// The window calls only reach the front end's backend; nothing is left to
// tell when they fail.
constexpr auto kNothingToShow = [](const char*) {};

}  // namespace

extern "C" {

void kvt_set_view_backend(const kvt_view_backend* backend) {
  kvt::export_barrier([&] { window().set_backend(backend); }, kNothingToShow);
}

int _set_view(int left, int top, int visible) {
  return kvt::export_barrier(0, [&] { return window().set_view(left, top, visible); }, kNothingToShow);
}

void _OpenView(void) { kvt::export_barrier([] { window().open_view(); }, kNothingToShow); }

void _DestroyView(void) { kvt::export_barrier([] { window().destroy_view(); }, kNothingToShow); }

int _GetLeftView(void) { return window().left_view(); }

int _GetTopView(void) { return window().top_view(); }

int _GetView(void) { return window().viewflag(); }

void kvt_view_closed(void) { kvt::export_barrier([] { window().closed(); }, kNothingToShow); }

void kvt_view_snapshot_get(kvt_view_snapshot* snapshot) {
  if (snapshot == nullptr) return;
  kvt::export_barrier([&] { *snapshot = window().snapshot(); }, kNothingToShow);
}

void kvt_player_view_snapshot(kvt_player* player, kvt_view_snapshot* snapshot) {
  if (player == nullptr || snapshot == nullptr) return;
  kvt::export_barrier([&] { *snapshot = player->view.window().snapshot(); }, kNothingToShow);
}

}  // extern "C"
