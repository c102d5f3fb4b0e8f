kestivo_add_fuzz(fuzz_camera_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_camera_file.cpp)
