kestivo_add_fuzz(fuzz_gige_serial MAX_LEN 4096 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_gige_serial.cpp)
