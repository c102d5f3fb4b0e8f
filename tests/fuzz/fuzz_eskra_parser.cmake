kestivo_add_fuzz(fuzz_eskra_parser MAX_LEN 40000 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_eskra_parser.cpp)
