#include "file_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "atomic_file.h"
#include "letter_case.h"

namespace kvt::cli {
namespace {

std::string reason(int error) {
  if (error == EISDIR) return "is a folder";
  std::string text = std::strerror(error);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

std::string not_regular(const struct stat& st) { return S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file"; }

// Why the file cannot be read, or nothing.
std::optional<std::string> unreadable(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return reason(errno);
  // Only a regular file is opened: opening a device may act on it.
  if (!S_ISREG(st.st_mode)) return not_regular(st);
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return reason(errno);
  close(fd);
  return std::nullopt;
}

// Why `out` cannot be created, or nothing.
std::optional<std::string> uncreatable(const std::string& out) {
  // Renaming over a folder fails, and over a device or pipe would replace it.
  struct stat st {};
  if (stat(out.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return not_regular(st);
  std::string temp;
  const int fd = create_beside(out, temp);
  if (fd < 0) return reason(errno);
  close(fd);
  unlink(temp.c_str());
  return std::nullopt;
}

void cannot(const char* what, const std::string& path, const std::string& why) {
  std::fprintf(stderr, "kvt: cannot %s %s: %s\n", what, path.c_str(), why.c_str());
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
    cannot("read", found, *why);
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
  if (const auto why = uncreatable(out)) {
    cannot("write", out, *why);
    return false;
  }
  return true;
}

void report_write_failure(const std::string& out, int error) {
  if (error != 0) cannot("write", out, reason(error));
}

}  // namespace kvt::cli
