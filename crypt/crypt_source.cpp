// CryptSource path: evaluates a protected script file in the caller's scope.
#include <cstring>
#include <memory>
#include <string>

#include "crypt/script_file.h"
#include "crypt/crypt_commands.h"

namespace {

// As shipped the shell only loads protected files; the plain branch stays for
// builds that want to run scripts as they are.
const bool kProtectedMode = true;

struct TclFree {
  void operator()(char *p) const { Tcl_Free(p); }
};
using TclBuffer = std::unique_ptr<char, TclFree>;

TclBuffer allocate(int32_t size) { return TclBuffer(Tcl_Alloc(static_cast<unsigned>(size))); }

// Sets tmp, in the caller's current scope, to the path with its last
// extension replaced by ".tin", and leaves that as the interpreter result.
// The path goes to "file rootname" as one word, so blanks, "$" and brackets
// in it stay part of the path. Returns TCL_ERROR, with the failure's message
// as the result, when tmp cannot be set (an array, a trace that refuses).
int setProtectedPath(Tcl_Interp *interp, const char *path) {
  Tcl_Obj *words[3] = {Tcl_NewStringObj("file", -1), Tcl_NewStringObj("rootname", -1),
                       Tcl_NewStringObj(path, -1)};
  for (Tcl_Obj *word : words) Tcl_IncrRefCount(word);
  int code = Tcl_EvalObjv(interp, 3, words, 0);
  if (code == TCL_OK) {
    Tcl_Obj *tinPath = Tcl_DuplicateObj(Tcl_GetObjResult(interp));
    Tcl_AppendToObj(tinPath, ".tin", -1);
    Tcl_Obj *stored = Tcl_SetVar2Ex(interp, "tmp", nullptr, tinPath, TCL_LEAVE_ERR_MSG);
    if (stored != nullptr) {
      Tcl_SetObjResult(interp, stored);
    } else {
      code = TCL_ERROR;
    }
  }
  for (Tcl_Obj *word : words) Tcl_DecrRefCount(word);
  return code;
}

int cannotOpen(Tcl_Interp *interp, const char *resolved, const char *asked) {
  Tcl_SetObjResult(interp, Tcl_ObjPrintf("Error: cannot open file %s, %s", resolved, asked));
  return TCL_ERROR;
}

}  // namespace

// Reads the named script (in protected mode the .tin file of the same root
// name, decrypted with the shell's key), evaluates it in the current scope
// and returns its completion code and result unchanged; an error's errorInfo
// also names the file and line. Fails with the error of setting tmp when tmp
// cannot be set.
int CryptSource(ClientData, Tcl_Interp *interp, int argc, const char *argv[]) {
  TclBuffer script = allocate(kScriptBufferSize);
  TclBuffer pathBuffer = allocate(kPathBufferSize);
  if (argc < 2) {
    Tcl_ResetResult(interp);
    return TCL_ERROR;
  }
  const char *asked = argv[1];
  unsigned char *bytes = reinterpret_cast<unsigned char *>(script.get());
  int32_t count;

  if (kProtectedMode) {
    if (setProtectedPath(interp, asked) != TCL_OK) return TCL_ERROR;
    const char *resolved = Tcl_GetStringResult(interp);
    if (std::strlen(resolved) >= static_cast<size_t>(kPathBufferSize)) {
      // Longer than any path the buffer takes: say so rather than cut it.
      std::string copy(resolved);
      return cannotOpen(interp, copy.c_str(), asked);
    }
    std::strcpy(pathBuffer.get(), resolved);
    count = readScriptFile(pathBuffer.get(), bytes, kScriptBufferSize, true);
    decryptScript(scriptCipher, bytes, count);
  } else {
    if (std::strlen(asked) >= static_cast<size_t>(kPathBufferSize)) return cannotOpen(interp, asked, asked);
    std::strcpy(pathBuffer.get(), asked);
    count = readScriptFile(pathBuffer.get(), bytes, kScriptBufferSize, false);
  }

  if (count <= 0) return cannotOpen(interp, pathBuffer.get(), asked);
  script.get()[count] = '\0';
  Tcl_ResetResult(interp);
  int code = Tcl_Eval(interp, script.get());
  if (code == TCL_ERROR) {
    // As source does: the file and line where the script failed.
    Tcl_AppendObjToErrorInfo(
        interp, Tcl_ObjPrintf("\n    (file \"%s\" line %d)", pathBuffer.get(), Tcl_GetErrorLine(interp)));
  }
  return code;
}
