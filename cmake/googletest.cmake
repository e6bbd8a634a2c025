# GoogleTest for the test suites. The host build uses the installed package; a cross build
# compiles it with the cross compiler from the sources Debian's libgtest-dev ships.
set(KV_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")

if(CMAKE_CROSSCOMPILING)
  if(NOT EXISTS ${KV_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${KV_GOOGLETEST_SOURCE_DIR} (libgtest-dev)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  # Its targets come as GTest::gtest, GTest::gtest_main, GTest::gmock and GTest::gmock_main.
  add_subdirectory(${KV_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
