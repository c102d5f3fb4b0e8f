kestivo_add_fuzz(fuzz_lut_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_lut_file.cpp)
