kestivo_add_fuzz(fuzz_simulation_ini SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_simulation_ini.cpp
  LIBS kestivo_sim Qt5::Core)
