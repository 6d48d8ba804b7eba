#include "file_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "file_reasons.h"
#include "letter_case.h"
#include "message_output.h"

namespace kvt::cli {
namespace {

// Why the file cannot be read, or nothing.
std::optional<std::string> unreadable(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return frontend::reason_for_error(errno);
  // Only a regular file is opened: opening a device may act on it.
  if (!S_ISREG(st.st_mode)) return frontend::reason_for_mode(st.st_mode);
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return frontend::reason_for_error(errno);
  close(fd);
  return std::nullopt;
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  std::error_code ea, eb;
  const auto ra = std::filesystem::weakly_canonical(a, ea), rb = std::filesystem::weakly_canonical(b, eb);
  return !ea && !eb && ra == rb;
}

}  // namespace

std::optional<std::string> find_input(const std::string& path) {
  const std::string found = resolve_case(path);
  if (const auto why = unreadable(found)) {
    print_message(frontend::cannot("read", found, *why));
    return std::nullopt;
  }
  return found;
}

bool is_distinct_output(const std::string& out, const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    if (!input.empty() && same_file(out, input)) {
      std::fprintf(stderr, "kvt: %s is the input file; choose another output\n", out.c_str());
      return false;
    }
  }
  return true;
}

bool can_create(const std::string& out) {
  if (const auto refusal = frontend::creation_refusal(out)) {
    print_message(*refusal);
    return false;
  }
  return true;
}

void report_write_failure(const std::string& out, int error) {
  if (const auto failure = frontend::write_failure(out, error)) print_message(*failure);
}

}  // namespace kvt::cli
