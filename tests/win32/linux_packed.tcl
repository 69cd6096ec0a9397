# Packed by the Linux tinpack at build time; the Windows shell loads it.
proc packedOnLinux {} { return "packed on Linux \u00e9" }
packedOnLinux
