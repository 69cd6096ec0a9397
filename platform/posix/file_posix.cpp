// Files on POSIX systems: the regular-file check and the write-beside-and-
// rename replacement of platform.h.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"

namespace platform {

namespace {

std::string describeErrno(const char *what, int error) { return std::string(what) + ": " + std::strerror(error); }

bool writeAll(int fd, const unsigned char *bytes, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t written = write(fd, bytes + done, size - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

bool isRegularFile(const char *path, std::string *reason) {
  struct stat status;
  if (stat(path, &status) != 0) {
    *reason = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    *reason = "not a regular file";
    return false;
  }
  return true;
}

bool replaceFile(const char *path, const void *data, size_t size, std::string *reason) {
  static unsigned serial = 0;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = std::string(path) + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    *reason = describeErrno("cannot create a temporary file beside it", errno);
    return false;
  }
  if (!writeAll(fd, static_cast<const unsigned char *>(data), size) || fsync(fd) != 0) {
    *reason = describeErrno("cannot write the temporary file", errno);
    close(fd);
    unlink(temporary.c_str());
    return false;
  }
  if (close(fd) != 0) {
    *reason = describeErrno("cannot write the temporary file", errno);
    unlink(temporary.c_str());
    return false;
  }
  if (rename(temporary.c_str(), path) != 0) {
    *reason = describeErrno("cannot move the file into place", errno);
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace platform
