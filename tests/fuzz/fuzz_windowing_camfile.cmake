kestivo_add_fuzz(fuzz_windowing_camfile
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_windowing_camfile.cpp ${CMAKE_SOURCE_DIR}/board/windowing_camfile.cpp)
