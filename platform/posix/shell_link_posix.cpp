// The shell-link object outside Windows: keeps the values set on it and
// saves them as an MS-SHLLINK file, written beside the link path under a
// temporary name and renamed into place, so that a failed save leaves no
// part of a link behind.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/shell_link_format.h"

namespace platform {

struct ShellLink {
  int references = 1;
  shell_link_format::LinkFields fields;
};

struct ShellLinkFile {
  ShellLink *link;
};

}  // namespace platform

namespace platform {

namespace {

void release(ShellLink *link) {
  if (--link->references == 0) delete link;
}

// Setting a text only fails when memory runs out; the field then stays as it was.
void setText(std::string *field, const char *text) {
  try {
    field->assign(text != nullptr ? text : "");
  } catch (const std::bad_alloc &) {
  }
}

std::string describeErrno(const char *what, int error) { return std::string(what) + ": " + std::strerror(error); }

shell_link_format::TargetFacts targetFacts(const std::string &path) {
  shell_link_format::TargetFacts facts;
  struct stat status;
  if (path.empty() || stat(path.c_str(), &status) != 0) return facts;
  facts.exists = true;
  facts.directory = S_ISDIR(status.st_mode);
  facts.size = static_cast<uint64_t>(status.st_size);
  // POSIX keeps no creation time; the last status change stands in for it.
  facts.creationTime = shell_link_format::fileTimeFromPosix(status.st_ctim.tv_sec, status.st_ctim.tv_nsec);
  facts.accessTime = shell_link_format::fileTimeFromPosix(status.st_atim.tv_sec, status.st_atim.tv_nsec);
  facts.writeTime = shell_link_format::fileTimeFromPosix(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
  return facts;
}

std::string absolutePath(const std::string &path) {
  if (!path.empty() && path[0] == '/') return path;
  char directory[4096];
  if (getcwd(directory, sizeof directory) == nullptr) return std::string();
  return std::string(directory) + "/" + path;
}

bool writeAll(int fd, const std::string &bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

// Writes bytes to path through a temporary file in the same directory.
bool replaceFile(const std::string &path, const std::string &bytes, std::string *reason) {
  static unsigned serial = 0;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    *reason = describeErrno("cannot create a temporary file beside it", errno);
    return false;
  }
  if (!writeAll(fd, bytes) || fsync(fd) != 0) {
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
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    *reason = describeErrno("cannot move the file into place", errno);
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

void initialiseShellLinks() {}

void uninitialiseShellLinks() {}

ShellLink *createShellLink() { return new (std::nothrow) ShellLink(); }

void setShellLinkPath(ShellLink *link, const char *path) { setText(&link->fields.targetPath, path); }

void setShellLinkDescription(ShellLink *link, const char *description) {
  setText(&link->fields.description, description);
}

void setShellLinkWorkingDirectory(ShellLink *link, const char *directory) {
  setText(&link->fields.workingDirectory, directory);
}

void setShellLinkIconLocation(ShellLink *link, const char *iconPath, int iconIndex) {
  setText(&link->fields.iconLocation, iconPath);
  link->fields.iconIndex = iconIndex;
}

void setShellLinkArguments(ShellLink *link, const char *arguments) { setText(&link->fields.arguments, arguments); }

ShellLinkFile *shellLinkFile(ShellLink *link) {
  ShellLinkFile *file = new (std::nothrow) ShellLinkFile{link};
  if (file != nullptr) ++link->references;
  return file;
}

size_t widenLinkPath(const char *path, char16_t *wide, size_t units) {
  std::u16string converted;
  try {
    if (!shell_link_format::utf8ToUtf16(path, &converted)) return 0;
  } catch (const std::bad_alloc &) {
    return 0;
  }
  if (converted.size() + 1 > units) return 0;
  std::memcpy(wide, converted.data(), converted.size() * sizeof(char16_t));
  wide[converted.size()] = 0;
  return converted.size() + 1;
}

bool saveShellLink(ShellLinkFile *file, const char16_t *widePath, std::string *reason) {
  try {
    const std::string path = shell_link_format::utf16ToUtf8(widePath);
    if (path.empty()) {
      *reason = "the link path is empty";
      return false;
    }
    shell_link_format::LinkFields fields = file->link->fields;
    // Like the Windows shell, the target is also stored relative to the link.
    fields.relativePath = shell_link_format::relativeTargetPath(absolutePath(path), fields.targetPath);
    std::string bytes;
    if (!shell_link_format::encodeShellLink(fields, targetFacts(fields.targetPath), &bytes)) {
      *reason = "a text is too long for a link file";
      return false;
    }
    return replaceFile(path, bytes, reason);
  } catch (const std::bad_alloc &) {
    *reason = "out of memory";
    return false;
  }
}

void releaseShellLinkFile(ShellLinkFile *file) {
  release(file->link);
  delete file;
}

void releaseShellLink(ShellLink *link) { release(link); }

}  // namespace platform
