kestivo_add_fuzz(fuzz_gige_buffer MAX_LEN 8192 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_gige_buffer.cpp)
