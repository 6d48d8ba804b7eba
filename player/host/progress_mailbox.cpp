#include "progress_mailbox.h"

namespace kvt::host {

void ProgressMailbox::show(const char* text, Keep keep) {
  const std::lock_guard lock(mutex_);
  shown_ = text;
  const bool replaceable = keep == Keep::latest;
  if (replaceable && !notes_.empty() && notes_.back().replaceable) {
    notes_.back() = Note{false, replaceable, shown_, 0};
  } else {
    notes_.push_back(Note{false, replaceable, shown_, 0});
  }
}

void ProgressMailbox::append(const char* text) {
  std::string whole;
  {
    const std::lock_guard lock(mutex_);
    whole = shown_ + text;
  }
  show(whole.c_str(), Keep::always);
}

void ProgressMailbox::message(const char* text, int icon) {
  const std::lock_guard lock(mutex_);
  notes_.push_back(Note{true, false, text, icon});
}

void ProgressMailbox::done() {
  {
    const std::lock_guard lock(mutex_);
    done_ = true;
  }
  changed_.notify_all();
}

bool ProgressMailbox::wait_done(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return done_; });
}

void ProgressMailbox::deliver(const HostUi& ui) {
  std::deque<Note> notes;
  {
    const std::lock_guard lock(mutex_);
    notes.swap(notes_);
  }
  for (const Note& note : notes) {
    if (note.is_message) {
      ui.message(note.text.c_str(), note.icon);
    } else {
      ui.progress(note.text.c_str());
    }
  }
}

std::string ProgressMailbox::shown() {
  const std::lock_guard lock(mutex_);
  return shown_;
}

}  // namespace kvt::host
