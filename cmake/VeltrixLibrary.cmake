# veltrix_library(NAME folder SOURCES ... [DEPENDS ...] [PACKAGES pkg-config names ...])
# One static library per source folder. Headers are included by their path
# below src/, e.g. #include "text/TextFile.h".
function(veltrix_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PACKAGES" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  foreach(pkg IN LISTS ARG_PACKAGES)
    string(MAKE_C_IDENTIFIER ${pkg} id)
    if(NOT TARGET PkgConfig::${id})
      pkg_check_modules(${id} REQUIRED IMPORTED_TARGET GLOBAL ${pkg})
    endif()
    target_link_libraries(${name} PUBLIC PkgConfig::${id})
  endforeach()
endfunction()

# veltrix_test(NAME SOURCES ... DEPENDS ...): one GoogleTest executable per folder.
function(veltrix_test name)
  # PROPERTIES: further test properties of every discovered test, as pairs.
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "VELTRIX_DISPLAY=headless" ${ARG_PROPERTIES})
endfunction()
