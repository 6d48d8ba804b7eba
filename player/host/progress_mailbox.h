// What a rendering worker shows: progress texts and message boxes, passed
// to the control thread, which hands them to the front end. A progress
// text replaces one that has not been shown yet, so a slow front end sees
// the latest line; texts marked to stay and messages are all delivered.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

#include "host_ui.h"

namespace kvt::host {

class ProgressMailbox {
 public:
  enum class Keep { latest, always };

  // Worker side.
  void show(const char* text, Keep keep = Keep::latest);
  void append(const char* text);  // to the text shown last
  void message(const char* text, int icon);
  void done();

  // Control side: waits up to `timeout`; true once the worker is done.
  bool wait_done(std::chrono::milliseconds timeout);
  void deliver(const HostUi& ui);
  std::string shown();  // the whole current text of the progress field

 private:
  struct Note {
    bool is_message;
    bool replaceable;
    std::string text;
    int icon;
  };

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Note> notes_;
  std::string shown_;  // the whole current text of the progress field
  bool done_ = false;
};

}  // namespace kvt::host
