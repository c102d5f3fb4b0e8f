kestivo_add_fuzz(fuzz_board_commands MAX_LEN 2000 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_board_commands.cpp
  LIBS kestivo_sim Qt5::Core)
