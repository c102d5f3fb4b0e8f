kestivo_add_fuzz(fuzz_eskra_parser MAX_LEN 40000
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_eskra_parser.cpp ${CMAKE_SOURCE_DIR}/board/eskra_frame_stream.cpp
  LIBS Qt5::Core Qt5::Widgets Qt5::SerialPort)
