# GoogleTest: the installed package for native builds; for a cross build,
# built for the target from the sources Debian's googletest package ships.
if(CMAKE_CROSSCOMPILING)
  set(SCENARIO_GOOGLETEST_SORGENTI /usr/src/googletest CACHE PATH "GoogleTest sources for the target system")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${SCENARIO_GOOGLETEST_SORGENTI} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
