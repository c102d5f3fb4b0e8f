kestivo_add_fuzz(fuzz_usb3_deinterleave MAX_LEN 8192
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_usb3_deinterleave.cpp)
