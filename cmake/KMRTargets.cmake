# Helpers that give every deliverable and test the same settings, target by target.

# kmr_add_shared_library(<name> DESCRIPTION <text> SOURCES <files...> [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# A shared library with public headers in include/, a generated export header
# <name>/<name>Export.h, hidden visibility, a SOVERSION and a version note.
function(kmr_add_shared_library name)
  cmake_parse_arguments(ARG "" "DESCRIPTION" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})
  generate_export_header(${name}
    BASE_NAME ${name}
    EXPORT_MACRO_NAME ${name}_API
    EXPORT_FILE_NAME ${CMAKE_CURRENT_BINARY_DIR}/include/${name}/${name}Export.h)
  target_include_directories(${name}
    PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include ${CMAKE_CURRENT_BINARY_DIR}/include
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  kmr_warnings(${name})
  kmr_version_note(${name} DESCRIPTION "${ARG_DESCRIPTION}" FILETYPE 2)
endfunction()

# kmr_add_gtest(<name> LABELS <labels...> SOURCES <files...> LIBS <libs...>)
# One GoogleTest program; each test case becomes a CTest test with the labels.
function(kmr_add_gtest name)
  cmake_parse_arguments(ARG "" "" "LABELS;SOURCES;LIBS" ${ARGN})
  if(NOT KMR_BUILD_TESTS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest GTest::gtest_main Threads::Threads)
  kmr_warnings(${name})
  kmr_version_note(${name} DESCRIPTION "${name}")
  # The discovery script loses list structure in PROPERTIES, so all labels travel as
  # one: "KMRComm+unit+threads". `ctest -L` takes a regular expression, so
  # `ctest -L threads` or `-L KMRComm` still select by any of the names.
  list(JOIN ARG_LABELS "+" _kmr_label)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${_kmr_label}" TIMEOUT 120
    DISCOVERY_TIMEOUT 60)
endfunction()
