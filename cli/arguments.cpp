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

int Arguments::choice(const std::vector<int>& allowed) {
  const std::string name = option_;
  const std::string text = value();
  std::size_t used = 0;
  int v = 0;
  try {
    v = std::stoi(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || text.empty() || std::find(allowed.begin(), allowed.end(), v) == allowed.end()) {
    std::string list;
    for (int a : allowed) list += (list.empty() ? "" : "|") + std::to_string(a);
    throw UsageError(name + " must be " + list + ", not '" + text + "'");
  }
  return v;
}

std::optional<std::string> Arguments::next_operand() {
  if (pos_ >= args_.size()) return std::nullopt;
  return args_[pos_++];
}

}  // namespace kvt::cli
