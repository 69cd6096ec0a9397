// Process entry: prepare the process, build the argument vector, keep the
// mode word and hand over to Tk's main procedure.
#include <clocale>
#include <tk.h>

#include "platform/platform.h"
#include "shell/app_init.h"
#include "shell/mode_argument.h"
#include "shell/panic_handler.h"
#include "shell/split_command_line.h"

TextBuffer ModeArgument("");

namespace {

const size_t kModulePathSize = 261;
const int kMessageQueueSize = 64;

// The mode words the shell acts on; Tk must not take them for a script path.
bool isModeWord(const char *word) {
  TextBuffer mode(word);
  return mode.equalsIgnoreCase(kAutoMode) || mode.equalsIgnoreCase(kInstallationMode);
}

}  // namespace

int FieldwishMain() {
  Tcl_SetPanicProc(PanicHandler);
  platform::requestMessageQueue(kMessageQueueSize);
  ConsoleEnabled = true;
  std::setlocale(LC_ALL, "C");

  int argc = 0;
  char **argv = nullptr;
  SplitCommandLine(platform::commandLine().c_str(), &argc, &argv);
  if (argc > 1) ModeArgument.assign(argv[1]);

  // argv[0] becomes the executable's own path with forward slashes. When the
  // path cannot be had or does not fit, the name as given stays.
  static char modulePath[kModulePathSize];
  if (platform::modulePath(modulePath, sizeof modulePath) > 0) {
    for (char *p = modulePath; *p != '\0'; ++p) {
      if (*p == '\\') *p = '/';
    }
    if (argc > 0) argv[0] = modulePath;
  }
  if (argc == 0) {  // an empty command line still needs a program name (two slots exist)
    argv[0] = modulePath;
    argv[1] = nullptr;
    argc = 1;
  }

  // The mode word has done its work once it is in ModeArgument; everything
  // else goes to Tk as given (a script path after the boot, as wish does).
  if (argc > 1 && isModeWord(argv[1])) {
    for (int i = 1; i < argc; ++i) argv[i] = argv[i + 1];
    --argc;
  }

  Tcl_FindExecutable(argc > 0 ? argv[0] : nullptr);
  platform::runTkMain(argc, argv, AppInit, Tcl_CreateInterp());
  return 1;
}
