kestivo_add_fuzz(fuzz_cameralink_reply MAX_LEN 4000 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_cameralink_reply.cpp)
