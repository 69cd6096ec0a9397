// CreateLink, EncryptText and DecryptText as scripts call them: through a
// Tcl interpreter, words as Tcl objects. The first byte picks the check:
//   0: the rest is CreateLink's words, one per line; the link path is made a
//      plain file name in a private directory (no "/"), so that no file
//      outside it is ever written. Oracle: TCL_OK with an empty result, or
//      TCL_ERROR with a message.
//   1: the rest is a text; a text EncryptText takes comes back from
//      DecryptText, given the list's elements as its words, with its padding.
//   2: the rest is DecryptText's words; it answers a text or a message.
// Raw NUL bytes become Tcl's own form of them (C0 80), as in any Tcl string.
#include <tcl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "crypt/crypt_commands.h"
#include "crypt/script_key.h"
#include "desktop/desktop_commands.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

Tcl_Interp *interp = nullptr;
char linkDirectory[] = "/tmp/fieldwish-fuzz-links.XXXXXX";

std::string tclText(const std::string &bytes) {
  std::string text;
  for (char c : bytes) {
    if (c == '\0') {
      text += "\xC0\x80";
    } else {
      text += c;
    }
  }
  return text;
}

// Runs the command with the words; answers its code, the result in *result.
int call(const char *command, const std::vector<std::string> &words, std::string *result) {
  std::vector<Tcl_Obj *> objv;
  objv.push_back(Tcl_NewStringObj(command, -1));
  for (const std::string &word : words) objv.push_back(Tcl_NewStringObj(word.data(), static_cast<int>(word.size())));
  for (Tcl_Obj *obj : objv) Tcl_IncrRefCount(obj);
  const int code = Tcl_EvalObjv(interp, static_cast<int>(objv.size()), objv.data(), TCL_EVAL_GLOBAL);
  *result = Tcl_GetStringResult(interp);
  for (Tcl_Obj *obj : objv) Tcl_DecrRefCount(obj);
  Tcl_ResetResult(interp);
  return code;
}

void createLink(const std::vector<std::string> &lines) {
  std::vector<std::string> words;
  for (const std::string &line : lines) words.push_back(tclText(line));
  std::string &linkPath = words[0];
  for (char &c : linkPath) {
    if (c == '/') c = '_';
  }
  linkPath = std::string(linkDirectory) + "/l" + linkPath;
  std::string result;
  const int code = call("CreateLink", words, &result);
  FUZZ_CHECK(code == TCL_OK ? result.empty() : code == TCL_ERROR && !result.empty());
  unlink(linkPath.c_str());
}

void roundTrip(const std::string &text) {
  std::string list;
  const int code = call("EncryptText", {text}, &list);
  FUZZ_CHECK(code == (text.size() <= 2559 ? TCL_OK : TCL_ERROR));
  if (code != TCL_OK) return;
  Tcl_Obj *listObj = Tcl_NewStringObj(list.data(), static_cast<int>(list.size()));
  Tcl_IncrRefCount(listObj);
  int count = 0;
  Tcl_Obj **elements = nullptr;
  FUZZ_CHECK(Tcl_ListObjGetElements(interp, listObj, &count, &elements) == TCL_OK);
  std::vector<std::string> words;
  for (int i = 0; i < count; ++i) words.push_back(Tcl_GetString(elements[i]));
  Tcl_DecrRefCount(listObj);
  std::string back;
  FUZZ_CHECK(call("DecryptText", words, &back) == TCL_OK);
  FUZZ_CHECK(back == text + std::string(8 - text.size() % 8, ' '));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  Tcl_FindExecutable(*argc > 0 ? (*argv)[0] : nullptr);
  keyScriptCipher(scriptCipher);
  FUZZ_CHECK(mkdtemp(linkDirectory) != nullptr);
  // Each call removes its link; the directory goes when the run ends.
  std::atexit([] { rmdir(linkDirectory); });
  interp = Tcl_CreateInterp();
  Tcl_CreateObjCommand(interp, "CreateLink", CreateLink, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, "EncryptText", EncryptText, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, "DecryptText", DecryptText, nullptr, nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0] % 3;
  ++data, --size;
  if (mode == 0) {
    createLink(fuzz::splitWords(data, size));
  } else if (mode == 1) {
    roundTrip(tclText(std::string(reinterpret_cast<const char *>(data), size)));
  } else {
    std::vector<std::string> words;
    for (const std::string &line : fuzz::splitWords(data, size)) words.push_back(tclText(line));
    std::string result;
    const int code = call("DecryptText", words, &result);
    FUZZ_CHECK(code == TCL_OK || (code == TCL_ERROR && !result.empty()));
  }
  return 0;
}
