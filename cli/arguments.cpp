#include "arguments.h"

#include <algorithm>

namespace kvt::cli {

std::optional<std::string> Arguments::next_option() {
  if (pending_) throw UsageError(option_ + " takes no value");
  if (pos_ >= args_.size() || options_ended_) return std::nullopt;
  const std::string& arg = args_[pos_];
  if (arg == "--") {
    options_ended_ = true;
    ++pos_;
    return std::nullopt;
  }
  if (arg.size() < 2 || arg[0] != '-') return std::nullopt;
  ++pos_;
  const std::size_t eq = arg.find('=');
  if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
    option_ = arg.substr(0, eq);
    pending_ = arg.substr(eq + 1);
  } else {
    option_ = arg;
  }
  return option_;
}

std::string Arguments::value() {
  if (pending_) {
    std::string v = std::move(*pending_);
    pending_.reset();
    return v;
  }
  if (pos_ >= args_.size()) throw UsageError(option_ + " needs a value");
  return args_[pos_++];
}

// The value as a whole decimal integer, or nothing.
std::optional<int> Arguments::integer_value(std::string& text) {
  text = value();
  std::size_t used = 0;
  try {
    const int v = std::stoi(text, &used);
    if (used == text.size() && !text.empty()) return v;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

int Arguments::choice(const std::vector<int>& allowed) {
  const std::string name = option_;
  std::string text;
  const auto v = integer_value(text);
  if (!v || std::find(allowed.begin(), allowed.end(), *v) == allowed.end()) {
    std::string list;
    for (int a : allowed) list += (list.empty() ? "" : "|") + std::to_string(a);
    throw UsageError(name + " must be " + list + ", not '" + text + "'");
  }
  return *v;
}

int Arguments::number(int low, int high) {
  const std::string name = option_;
  std::string text;
  const auto v = integer_value(text);
  if (!v || *v < low || *v > high)
    throw UsageError(name + " must be " + std::to_string(low) + ".." + std::to_string(high) + ", not '" + text + "'");
  return *v;
}

std::optional<std::string> Arguments::next_operand() {
  if (pos_ >= args_.size()) return std::nullopt;
  return args_[pos_++];
}

}  // namespace kvt::cli
