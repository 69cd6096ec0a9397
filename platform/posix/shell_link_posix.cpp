// Shell links outside Windows: the fields are saved as the MS-SHLLINK file
// the Windows shell would write, through replaceFile, so that a failed save
// leaves no part of a link behind.
#include <sys/stat.h>
#include <unistd.h>

#include <new>
#include <string>

#include "platform/platform.h"
#include "platform/posix/shell_link_format.h"

namespace platform {

namespace {

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

ShellLinkStep writeShellLink(const ShellLinkFields &given, const char *linkPath, std::string *reason) {
  try {
    // The path must have the UTF-16 form a Windows link path would need.
    std::u16string widePath;
    if (!shell_link_format::utf8ToUtf16(linkPath, &widePath) || widePath.size() + 1 > kWideLinkPathUnits) {
      return ShellLinkStep::kPathNotWide;
    }
    const std::string path = linkPath;
    if (path.empty()) {
      *reason = "the link path is empty";
      return ShellLinkStep::kSave;
    }
    shell_link_format::LinkFields fields;
    fields.targetPath = given.targetPath;
    fields.description = given.description;
    fields.workingDirectory = given.workingDirectory;
    fields.iconLocation = given.iconPath;
    fields.iconIndex = given.iconIndex;
    fields.arguments = given.arguments;
    // Like the Windows shell, the target is also stored relative to the link.
    fields.relativePath = shell_link_format::relativeTargetPath(absolutePath(path), fields.targetPath);
    std::string bytes;
    if (!shell_link_format::encodeShellLink(fields, targetFacts(fields.targetPath), &bytes)) {
      *reason = "a text is too long for a link file";
      return ShellLinkStep::kSave;
    }
    if (!replaceFile(path.c_str(), bytes.data(), bytes.size(), reason)) return ShellLinkStep::kSave;
    return ShellLinkStep::kWritten;
  } catch (const std::bad_alloc &) {
    *reason = "out of memory";
    return ShellLinkStep::kSave;
  }
}

}  // namespace platform
