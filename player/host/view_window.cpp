#include "view_window.h"

#include <algorithm>
#include <cstring>

namespace kvt::host {
namespace {

constexpr std::size_t kNormalFontBytes = 14;  // longer names take the narrow font

template <std::size_t N>
void copy_text(char (&out)[N], const std::string& text) {
  const std::size_t n = std::min(text.size(), N - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

void ViewWindow::set_backend(const kvt_view_backend* backend) {
  std::lock_guard<std::mutex> hold(state_);
  backend_ = backend != nullptr ? *backend : kvt_view_backend{};
}

kvt_view_backend ViewWindow::backend() const {
  std::lock_guard<std::mutex> hold(state_);
  return backend_;
}

void ViewWindow::changed() { ++serial_; }

int ViewWindow::set_view(int left, int top, int visible) {
  left_view_ = left;
  top_view_ = top;
  viewflag_ = visible;
  const kvt_view_backend b = backend();
  return b.create == nullptr || b.create(b.context, left, top, visible) != 0 ? 1 : 0;
}

void ViewWindow::open_view() {
  viewflag_ = 1;
  const kvt_view_backend b = backend();
  if (b.show != nullptr) b.show(b.context);
}

void ViewWindow::closed() {
  viewflag_ = 0;
  const kvt_view_backend b = backend();
  if (b.hide != nullptr) b.hide(b.context);
}

void ViewWindow::destroy_view() {
  const kvt_view_backend b = backend();
  if (b.position != nullptr) b.position(b.context, &left_view_, &top_view_);
  if (b.destroy != nullptr) b.destroy(b.context);
}

void ViewWindow::show_header(ViewHeader header) {
  {
    std::lock_guard<std::mutex> hold(state_);
    header_ = header;
    for (std::string& name : names_) name.clear();
    for (auto& row : lit_) row.fill(0);
    changed();
  }
  const kvt_view_backend b = backend();
  if (b.header != nullptr) {
    b.header(b.context, header.file_line.c_str(), header.title_line.c_str(), header.rate_label.c_str(),
             header.channel_label.c_str(), header.effect_label.c_str());
  }
  if (b.repaint != nullptr) b.repaint(b.context);
}

void ViewWindow::clear_rows() {
  {
    std::lock_guard<std::mutex> hold(state_);
    for (auto& row : lit_) row.fill(0);
    changed();
  }
  const kvt_view_backend b = backend();
  if (b.repaint != nullptr) b.repaint(b.context);
}

void ViewWindow::set_red_point(int row, int key) { mark_key(row, key, 1); }

void ViewWindow::reset_red_point(int row, int key) { mark_key(row, key, 0); }

void ViewWindow::mark_key(int row, int key, std::uint8_t down) {
  {
    std::lock_guard<std::mutex> hold(state_);
    lit_[row][key] = down;
    changed();
  }
  // Dots go straight to the screen, so a hidden window gets none.
  if (viewflag_ != 1) return;
  const kvt_view_backend b = backend();
  const auto draw = down != 0 ? b.set_dot : b.reset_dot;
  if (draw != nullptr) draw(b.context, row, key);
}

void ViewWindow::trackname(int row, const std::uint8_t* name, std::size_t length) {
  const std::string text(reinterpret_cast<const char*>(name), length);
  {
    std::lock_guard<std::mutex> hold(state_);
    names_[row] = text;
    changed();
  }
  const kvt_view_backend b = backend();
  if (b.track_name != nullptr) b.track_name(b.context, row, text.data(), text.size(), length > kNormalFontBytes ? 1 : 0);
}

kvt_view_snapshot ViewWindow::snapshot() const {
  kvt_view_snapshot s{};
  std::lock_guard<std::mutex> hold(state_);
  for (int r = 0; r < kViewRows; ++r) {
    std::copy(lit_[r].begin(), lit_[r].end(), s.lit[r]);
    copy_text(s.names[r], names_[r]);
    s.narrow[r] = names_[r].size() > kNormalFontBytes ? 1 : 0;
  }
  copy_text(s.file_line, header_.file_line);
  copy_text(s.title_line, header_.title_line);
  copy_text(s.rate_label, header_.rate_label);
  copy_text(s.channel_label, header_.channel_label);
  copy_text(s.effect_label, header_.effect_label);
  s.visible = viewflag_;
  s.serial = serial_;
  return s;
}

}  // namespace kvt::host
