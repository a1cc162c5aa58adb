# veltrix_library(NAME folder SOURCES ... [DEPENDS ...] [PACKAGES pkg-config names ...])
# One static library per source folder. Headers are included by their path
# below src/, e.g. #include "text/TextFile.h".
function(veltrix_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PACKAGES" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  set_property(GLOBAL APPEND PROPERTY VELTRIX_LIBRARIES ${name})
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
  # No session bus from the shell that runs the suite: a test that wants one
  # starts its own.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "VELTRIX_DISPLAY=headless;DBUS_SESSION_BUS_ADDRESS=" ${ARG_PROPERTIES})
endfunction()

# veltrix_check_library_layers(): stops the configuration when the libraries
# made with veltrix_library depend on each other in a cycle (CMake links static
# libraries in a cycle without a word, and then every layer reaches every
# other). Called once, after every folder is added.
function(_veltrix_visit_library lib path)
  if(lib IN_LIST path)
    list(APPEND path ${lib})
    list(JOIN path " -> " cycle)
    message(FATAL_ERROR "The libraries depend on each other in a cycle: ${cycle}")
  endif()
  get_property(done GLOBAL PROPERTY _VELTRIX_LAYER_CHECKED_${lib})
  if(done)
    return()
  endif()
  get_property(libraries GLOBAL PROPERTY VELTRIX_LIBRARIES)
  get_target_property(deps ${lib} LINK_LIBRARIES)
  if(deps)
    foreach(dep IN LISTS deps)
      if(dep IN_LIST libraries)
        set(longer ${path})
        list(APPEND longer ${lib})
        _veltrix_visit_library(${dep} "${longer}")
      endif()
    endforeach()
  endif()
  set_property(GLOBAL PROPERTY _VELTRIX_LAYER_CHECKED_${lib} TRUE)
endfunction()

function(veltrix_check_library_layers)
  get_property(libraries GLOBAL PROPERTY VELTRIX_LIBRARIES)
  foreach(lib IN LISTS libraries)
    _veltrix_visit_library(${lib} "")
  endforeach()
endfunction()
