kestivo_add_fuzz(fuzz_boot_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_boot_file.cpp)
