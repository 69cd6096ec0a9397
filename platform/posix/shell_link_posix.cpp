// The shell-link object outside Windows: keeps the values set on it and
// saves them as an MS-SHLLINK file through replaceFile, so that a failed save
// leaves no part of a link behind.
#include <cstring>
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
    return replaceFile(path.c_str(), bytes.data(), bytes.size(), reason);
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
