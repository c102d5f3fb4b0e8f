# The capture library is a shared object of its own: the target links it and
# the platform layer (with the simulated capture devices), not the core.
kestivo_add_fuzz(fuzz_usb3_sample MAX_LEN 4096 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_usb3_sample.cpp
  LIBS Quenlin kestivo_platform)
