#include "crypt/script_key.h"

#include "crypt/script_cipher.h"
#include "fieldwish_secrets.h"
#include "support/reveal_text.h"

void keyScriptCipher(ScriptCipher &cipher) {
  char *overlay = RevealText(secrets::kKeyOverlay, ScriptCipher::kOverlayLength);
  // n = 10 places all fifteen overlay characters (n + 5 are copied).
  cipher.setKey(overlay, ScriptCipher::kOverlayLength - 5);
  delete[] overlay;
}
