# ---- Device link over the kernel's HID stack: HidCommand against the uhid -------------
# instrument in the hidvm guest, against a minimal C program (bench/hidvm-latency.sh).
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  add_executable(hidvm_roundtrip ${CMAKE_CURRENT_LIST_DIR}/hidvm_roundtrip.c)
  target_link_libraries(hidvm_roundtrip PRIVATE hidapi_headers ${HIDAPI_HIDRAW_STATIC} ${UDEV_LIBRARY})
  # Not in bench/: run-all.sh runs what is there, and this one is a helper.
  set_target_properties(hidvm_roundtrip PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench/helpers)
  # The driver, as bench/hidvm_latency, so that make bench runs it.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  file(CREATE_LINK ${CMAKE_CURRENT_LIST_DIR}/hidvm-latency.sh ${CMAKE_BINARY_DIR}/bench/hidvm_latency SYMBOLIC)
endif()
