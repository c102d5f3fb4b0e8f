kestivo_add_fuzz(fuzz_bp_offset_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_bp_offset_file.cpp MAX_LEN 16384)
