# The development key: the 49-byte effective key, as 98 hexadecimal digits.
# Every protected script and encrypted text made by a development build uses it.
# A release build passes its own with -DFIELDWISH_KEY=...; the last 15 bytes
# (the overlay revealed at start-up) must not contain a zero byte.
set(FIELDWISH_DEVELOPMENT_KEY
    "9e17c3088d52f4b1e06a3c9d74e2118fb50d6ca3297ef60b84d1539a0ce76f2ab4118d5cc2e7398f61a4d20b97e35c1f8a")
