# Helpers shared by every folder's CMakeLists.txt.

# quillon_library(<name> <sources>...)
# A static library of one folder. It may link external packages and
# utilcore, but never another quillon_library: programs link all of
# them together through the `quillon_all` link group, which resolves the
# calls that cross between subsystems in both directions.
function(quillon_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC utilcore)
  set_property(GLOBAL APPEND PROPERTY QUILLON_GROUP_LIBS ${name})
endfunction()

# quillon_folder_library(<name>): the library of a folder whose every .cpp
# below it belongs to the library (platform/, toolkit/graphics/, ...).
# Nothing is made while the folder has no sources yet.
function(quillon_folder_library name)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    quillon_library(${name} ${srcs})
  endif()
endfunction()

function(quillon_finish_link_group)
  add_library(quillon_all INTERFACE)
  get_property(libs GLOBAL PROPERTY QUILLON_GROUP_LIBS)
  if(libs)
    string(JOIN "," joined ${libs})
    target_link_libraries(quillon_all INTERFACE "$<LINK_GROUP:RESCAN,${joined}>")
    foreach(lib IN LISTS libs)
      # external dependencies of the grouped libraries
      get_target_property(deps ${lib} INTERFACE_LINK_LIBRARIES)
      if(deps)
        target_link_libraries(quillon_all INTERFACE ${deps})
      endif()
    endforeach()
  endif()
  if(TARGET forward)
    target_link_libraries(quillon_all INTERFACE forward)
  endif()
  target_link_libraries(quillon_all INTERFACE utilcore)
endfunction()

# quillon_test(<name> LABELS <label>... SOURCES <files>... [LIBS <targets>...]
#              [TIMEOUT <seconds>])
# One GoogleTest program; every test case becomes a CTest test carrying the
# labels (and the time limit, when given). LIBS defaults to the whole
# program (quillon_all).
function(quillon_test name)
  cmake_parse_arguments(QT "" "TIMEOUT" "LABELS;SOURCES;LIBS" ${ARGN})
  set(extra_properties)
  if(QT_TIMEOUT)
    set(extra_properties TIMEOUT ${QT_TIMEOUT})
  endif()
  if(NOT QT_LIBS)
    set(QT_LIBS quillon_all)
  endif()
  add_executable(${name} ${QT_SOURCES})
  target_link_libraries(${name} PRIVATE ${QT_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    QUILLON_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QUILLON_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    QUILLON_GOLDEN_DIR="${CMAKE_SOURCE_DIR}/tests/golden")
  include(GoogleTest)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${QT_LABELS}" ${extra_properties}
    DISCOVERY_TIMEOUT 60)
endfunction()
