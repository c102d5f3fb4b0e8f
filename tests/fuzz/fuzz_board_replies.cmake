kestivo_add_fuzz(fuzz_board_replies SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_board_replies.cpp)
