#include "desktop/write_shell_link.h"

#include <cstdio>
#include <string>

#include "platform/platform.h"

void WriteShellLink(const char *linkPath, const char *objectPath, const char *description,
                    const char *workingDirectory, const char *iconPath, int32_t iconIndex, const char *arguments) {
  const platform::ShellLinkFields fields = {objectPath, description, workingDirectory, iconPath, iconIndex, arguments};
  std::string reason;
  switch (platform::writeShellLink(fields, linkPath, &reason)) {
    case platform::ShellLinkStep::kWritten:
      // Success names the link's target, not the link file.
      std::printf("created link %s\n", objectPath);
      break;
    case platform::ShellLinkStep::kNoLinkObject:
      return;
    case platform::ShellLinkStep::kNoFileInterface:
      std::printf("link %s was not written: the link object cannot be saved to a file\n", linkPath);
      break;
    case platform::ShellLinkStep::kPathNotWide:
      std::printf("link %s was not written: the path cannot be converted to UTF-16\n", linkPath);
      break;
    case platform::ShellLinkStep::kSave:
      std::printf("link %s was not written: %s\n", linkPath, reason.c_str());
      break;
  }
  std::fflush(stdout);
}
