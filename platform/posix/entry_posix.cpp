// Process entry on POSIX: the shell reads its command line from the platform
// layer, as it does on Windows, so main's own arguments are not passed on.
#include "platform/platform.h"

int main() { return FieldwishMain(); }
