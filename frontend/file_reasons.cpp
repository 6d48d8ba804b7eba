#include "file_reasons.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "atomic_file.h"

namespace kvt::frontend {

std::string reason_for_error(int error) {
  if (error == EISDIR) return "is a folder";
  std::string text = std::strerror(error);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

std::string reason_for_mode(mode_t mode) { return S_ISDIR(mode) ? "is a folder" : "is not a regular file"; }

Message cannot(const std::string& action, const std::string& path, const std::string& why) {
  return {MessageKind::error, "cannot " + action + " " + path + ": " + why};
}

std::optional<Message> creation_refusal(const std::string& out) {
  // Renaming over a folder fails, and over a device or pipe would replace it.
  struct stat st {};
  if (stat(out.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return cannot("write", out, reason_for_mode(st.st_mode));
  std::string temp;
  const int fd = create_beside(out, temp);
  if (fd < 0) return cannot("write", out, reason_for_error(errno));
  close(fd);
  unlink(temp.c_str());
  return std::nullopt;
}

std::optional<Message> write_failure(const std::string& out, int error) {
  if (error == 0) return std::nullopt;
  return cannot("write", out, reason_for_error(error));
}

}  // namespace kvt::frontend
