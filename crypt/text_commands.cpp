// EncryptText and DecryptText: short texts kept as encrypted byte lists,
// with the shell's script cipher.
#include <exception>
#include <vector>

#include "crypt/text_cipher.h"
#include "crypt/crypt_commands.h"

namespace {

int answer(Tcl_Interp *interp, const text_cipher::Outcome &outcome) {
  Tcl_SetObjResult(interp, Tcl_NewStringObj(outcome.text.data(), static_cast<int>(outcome.text.size())));
  return outcome.ok ? TCL_OK : TCL_ERROR;
}

}  // namespace

// EncryptText text: answers the encrypted byte list of the text's bytes;
// words after the text are ignored. Changes nothing.
int EncryptText(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  if (objc < 2) {
    Tcl_WrongNumArgs(interp, 1, objv, "text");
    return TCL_ERROR;
  }
  int length = 0;
  const char *text = Tcl_GetStringFromObj(objv[1], &length);
  try {
    return answer(interp, text_cipher::encryptToByteList(scriptCipher, text, static_cast<size_t>(length)));
  } catch (const std::exception &) {
    Tcl_Panic("out of memory");
  }
}

// DecryptText count ?value ...?: answers the text of an encrypted byte list
// spread out as words, count first. Changes nothing.
int DecryptText(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  if (objc < 2) {
    Tcl_WrongNumArgs(interp, 1, objv, "count ?value ...?");
    return TCL_ERROR;
  }
  try {
    std::vector<const char *> values;
    values.reserve(static_cast<size_t>(objc - 2));
    for (int i = 2; i < objc; ++i) values.push_back(Tcl_GetString(objv[i]));
    return answer(interp,
                  text_cipher::decryptByteList(scriptCipher, Tcl_GetString(objv[1]), values.data(), values.size()));
  } catch (const std::exception &) {
    Tcl_Panic("out of memory");
  }
}
