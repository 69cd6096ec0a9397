// The protected script file: a 4-byte big-endian length N, then N bytes of
// script text encrypted with ScriptCipher. Plain script files are the text
// itself. Both directions work on caller-owned buffers and never write past them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ScriptCipher;

// Buffer sizes CryptSource uses for one call.
const int32_t kScriptBufferSize = 500000;
const int32_t kPathBufferSize = 1000;

// Why a read gave no script (for tools that want to say more than "-1").
enum class ScriptReadError {
  None,
  CannotOpen,     // the file cannot be opened
  Truncated,      // fewer than 4 + N bytes (an empty protected file included)
  BadLength,      // N is 0, negative, or does not fit the buffer
  TooLarge,       // a plain file larger than the buffer allows
};

// Reads the file at path into buffer (capacity bytes). Protected: returns N
// with the bytes still encrypted; N must leave room in the buffer for a
// terminator and for the cipher's whole last block. Plain: returns the number
// of bytes read (at most capacity - 1, room for the terminator).
// Returns -1 on any failure; when error is given it says which.
int32_t readScriptFile(const char *path, unsigned char *buffer, int32_t capacity, bool isProtected,
                       ScriptReadError *error = nullptr);

// Decrypts in place the count bytes that readScriptFile (protected) gave.
// The rest of a partial last block is zeroed first, so that a count that is
// not a multiple of 8 decrypts the same way on every call; the buffer must
// reach the end of that block, as readScriptFile's room for it does.
void decryptScript(const ScriptCipher &cipher, unsigned char *buffer, int32_t count);

// Writes length bytes of data to path, protected (length prefix, then the
// already encrypted bytes) or plain. Returns length, or -1 when the file
// cannot be created or written completely.
int32_t writeScriptFile(const char *path, const unsigned char *data, int32_t length, bool isProtected);

// The bytes of such a file: the length prefix (when protected) and the data.
// Empty for a negative length.
std::string scriptFileBytes(const unsigned char *data, int32_t length, bool isProtected);

// A text for an error, e.g. "the file is truncated".
const char *describeScriptReadError(ScriptReadError error);
