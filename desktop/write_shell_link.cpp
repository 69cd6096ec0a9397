#include "desktop/write_shell_link.h"

#include <cstdio>
#include <string>

#include "platform/platform.h"

void WriteShellLink(const char *linkPath, const char *objectPath, const char *description,
                    const char *workingDirectory, const char *iconPath, int32_t iconIndex, const char *arguments) {
  platform::ShellLink *link = platform::createShellLink();
  if (link == nullptr) return;

  // Every setter on every run, empty texts included.
  platform::setShellLinkPath(link, objectPath);
  platform::setShellLinkDescription(link, description);
  platform::setShellLinkWorkingDirectory(link, workingDirectory);
  platform::setShellLinkIconLocation(link, iconPath, iconIndex);
  platform::setShellLinkArguments(link, arguments);

  bool written = false;
  std::string reason = "the link object cannot be saved to a file";
  if (platform::ShellLinkFile *file = platform::shellLinkFile(link)) {
    char16_t widePath[platform::kWideLinkPathUnits];
    if (platform::widenLinkPath(linkPath, widePath, platform::kWideLinkPathUnits) == 0) {
      reason = "the path cannot be converted to UTF-16";
    } else {
      written = platform::saveShellLink(file, widePath, &reason);
    }
    platform::releaseShellLinkFile(file);
  }
  platform::releaseShellLink(link);

  // Success names the link's target; a failure names the link file that
  // was not written, and why.
  if (written) {
    std::printf("created link %s\n", objectPath);
  } else {
    std::printf("link %s was not written: %s\n", linkPath, reason.c_str());
  }
  std::fflush(stdout);
}
