kestivo_add_fuzz(fuzz_bad_pixel_csv SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_bad_pixel_csv.cpp)
