// CreateLink linkPath ?option value ...?: writes one shell link (shortcut).
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

#include "desktop/write_shell_link.h"
#include "desktop/desktop_commands.h"

namespace {

// Each text field holds at most 199 bytes and its terminating zero.
const int kFieldSize = 200;

struct LinkRecord {
  char linkPath[kFieldSize];
  char objectPath[kFieldSize];
  char description[kFieldSize];
  char workingDirectory[kFieldSize];
  char iconPath[kFieldSize];
  int32_t iconIndex;
  char arguments[kFieldSize];
};

const char *const kOptions[] = {"-objectPath", "-description", "-workingDirectory", "-icon", "-arguments", nullptr};
enum Option { kObjectPath, kDescription, kWorkingDirectory, kIcon, kArguments };

// The message for an option that ends the call without its value, by option.
const char *const kMissingValue[] = {
    "\"-objectPath\" option must be followed by a file path",
    "\"-description\" option must be followed by a descriptive string",
    "\"-workingDirectory\" option must be followed by a directory path",
    "\"-icon\" option must be followed by an icon file path",
    "\"-arguments\" option must be followed by an argument string",
};
const char kMissingIconIndex[] = "Icon path must be followed by a numerical icon index (starting at 0)";

int fail(Tcl_Interp *interp, const std::string &message) {
  Tcl_SetObjResult(interp, Tcl_NewStringObj(message.c_str(), -1));
  return TCL_ERROR;
}

// Copies the word's bytes into field. A value that does not fit is refused,
// not cut: a shortened path would make a link to the wrong place.
int copyWord(Tcl_Interp *interp, Tcl_Obj *word, char (&field)[kFieldSize], const char *what) {
  int length = 0;
  const char *bytes = Tcl_GetStringFromObj(word, &length);
  if (length >= kFieldSize) {
    return fail(interp, std::string(what) + " is too long: " + std::to_string(length) + " bytes, at most " +
                            std::to_string(kFieldSize - 1));
  }
  std::memcpy(field, bytes, static_cast<size_t>(length) + 1);
  return TCL_OK;
}

// Any integer the long conversion of a 64-bit long takes; the index keeps its
// low 32 bits, as a 32-bit long would hold it (0xffffffff is -1). The wide
// conversion takes the same words where a long has 32 bits (Windows).
int getIconIndex(Tcl_Interp *interp, Tcl_Obj *word, int32_t *index) {
  Tcl_WideInt value = 0;
  if (Tcl_GetWideIntFromObj(interp, word, &value) != TCL_OK) return TCL_ERROR;
  *index = static_cast<int32_t>(static_cast<uint32_t>(static_cast<Tcl_WideUInt>(value)));
  return TCL_OK;
}

std::string valueName(int option) { return std::string("value of \"") + kOptions[option] + "\""; }

}  // namespace

// Writes the link file at linkPath with the target, description, working
// directory, icon and arguments given. Answers an empty result; an error
// only for faulty words, found left to right before anything is written.
// Prints "created link TARGET" when the file was written, or a line saying
// why it was not.
int CreateLink(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  if (objc < 2) {
    Tcl_WrongNumArgs(interp, 1, objv, "linkPath ?options?");
    return TCL_ERROR;
  }
  LinkRecord record;
  record.objectPath[0] = record.description[0] = record.workingDirectory[0] = '\0';
  record.iconPath[0] = record.arguments[0] = '\0';
  record.iconIndex = 0;

  // The first word is the link path, even when it looks like an option.
  if (copyWord(interp, objv[1], record.linkPath, "link path") != TCL_OK) return TCL_ERROR;

  // The field of each option, by option index.
  char(*const fields[])[kFieldSize] = {&record.objectPath, &record.description, &record.workingDirectory,
                                       &record.iconPath, &record.arguments};
  for (int i = 2; i < objc; ++i) {
    int option;
    if (Tcl_GetIndexFromObj(interp, objv[i], kOptions, "option", 0, &option) != TCL_OK) return TCL_ERROR;
    if (i + 1 >= objc) return fail(interp, kMissingValue[option]);
    if (copyWord(interp, objv[++i], *fields[option], valueName(option).c_str()) != TCL_OK) return TCL_ERROR;
    if (option == kIcon) {
      if (i + 1 >= objc) return fail(interp, kMissingIconIndex);
      if (getIconIndex(interp, objv[++i], &record.iconIndex) != TCL_OK) return TCL_ERROR;
    }
  }

  try {
    WriteShellLink(record.linkPath, record.objectPath, record.description, record.workingDirectory,
                   record.iconPath, record.iconIndex, record.arguments);
  } catch (const std::exception &) {
    Tcl_Panic("out of memory");
  }
  Tcl_ResetResult(interp);
  return TCL_OK;
}
