# The platform layer's tests on their own, for a build without SFML (the
# Windows cross-build): the shared platform test and the scratch directory it
# works in. GoogleTest is built from its sources where no installed package is
# found; ORVIX_GTEST_SOURCE names them (Debian's googletest package puts them
# in /usr/src/googletest).
find_package(GTest QUIET)
if(NOT GTest_FOUND)
  set(ORVIX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${ORVIX_GTEST_SOURCE} googletest EXCLUDE_FROM_ALL)
endif()
include(GoogleTest)

add_executable(orvix_platform_tests ${CMAKE_CURRENT_SOURCE_DIR}/tests/unit/PlatformTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/support/ScratchDir.cpp)
target_include_directories(orvix_platform_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests/support)
target_link_libraries(orvix_platform_tests PRIVATE orvix_platform GTest::gtest GTest::gtest_main)
gtest_discover_tests(orvix_platform_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 120)
