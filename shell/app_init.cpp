// AppInit: the boot sequence, top to bottom.
#include "shell/app_init.h"

#include <string>
#include <tk.h>

#include "crypt/crypt_commands.h"
#include "crypt/script_key.h"
#include "desktop/desktop_commands.h"
#include "device/device_commands.h"
#include "device/device_handle.h"
#include "fieldwish_secrets.h"
#include "platform/platform.h"
#include "shell/extra_commands.h"
#include "shell/mode_argument.h"
#include "shell/shell_probe.h"
#include "shell/steady_timers.h"
#include "support/reveal_text.h"

bool ConsoleEnabled = true;
const char kAutoMode[] = "auto";
const char kInstallationMode[] = "installation";

namespace {

// Where the boot scripts live, relative to the working directory.
const char kDashboardScript[] = " ../tcl/tovGUI.itcl;";
const char kInstallerScript[] = " ../tcl/tovInstall.itcl; install_gui";

// Beep, show the interpreter's result in the "Error in Wish" box, exit 1.
[[noreturn]] void startupFailure(Tcl_Interp *interp) {
  platform::beepExclamation();
  platform::showStopBox("Error in Wish", Tcl_GetStringResult(interp));
  platform::exitProcess(1);
}

// The revealed texts are handed to Tcl and live until the process ends.
const char *commandName(int index) {
  const uint32_t *words = secrets::kCommandNames[index];
  return RevealText(words, ObfuscatedLength(words));
}

}  // namespace

int AppInit(Tcl_Interp *interp) {
  UseSteadyTimers();
  if (Tcl_Init(interp) == TCL_ERROR) startupFailure(interp);
  UseWallClockReaders(interp);
  if (Tk_Init(interp) == TCL_ERROR) startupFailure(interp);
  Tcl_StaticPackage(interp, "Tk", Tk_Init, Tk_SafeInit);
  if (ConsoleEnabled && Tk_CreateConsoleWindow(interp) == TCL_ERROR) startupFailure(interp);

  DeviceHandle = nullptr;

  const char *cryptSourceName = commandName(0);
  Tcl_CreateCommand(interp, cryptSourceName, CryptSource, nullptr, nullptr);
  Tcl_CreateCommand(interp, commandName(1), ShellProbe, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, commandName(2), CreateLink, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, commandName(3), DecryptText, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, commandName(4), EncryptText, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, commandName(5), HidSurvey, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, commandName(6), HidConnect, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, commandName(7), HidCommand, nullptr, nullptr);
  RegisterExtraCommands(interp);

  Tcl_Eval(interp, "global LINUX; set LINUX 0");

  keyScriptCipher(scriptCipher);

  // The boot lines call CryptSource by its revealed name, so that the name
  // is nowhere in the executable as text.
  if (ModeArgument.equalsIgnoreCase(kInstallationMode)) {
    return Tcl_Eval(interp, (std::string(cryptSourceName) + kInstallerScript).c_str());
  }
  if (ModeArgument.equalsIgnoreCase(kAutoMode)) {
    Tcl_Eval(interp, "global auto_start; set auto_start 1");
  }
  return Tcl_Eval(interp, (std::string(cryptSourceName) + kDashboardScript).c_str());
}
