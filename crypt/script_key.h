#pragma once

class ScriptCipher;

// Reveals the build's key overlay and keys the cipher with it, as the shell
// does once at start-up. tinpack keys its own cipher the same way.
void keyScriptCipher(ScriptCipher &cipher);
