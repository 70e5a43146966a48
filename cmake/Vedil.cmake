# Helpers that give every library, program and test of the project the same
# warnings, include root and Qt handling. Sources are picked up by globbing
# each folder, so adding a file needs no edit here.

function(vedil_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # -Wrestrict is off: GCC 12 reports std::string copies at -O3 as
    # overlapping memcpy calls (a known false positive of that compiler).
    # Clang has no such warning and refuses the option.
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# A folder's operating system calls live in files ending in _posix.cpp and
# _windows.cpp, one per platform behind the same header; the build keeps the
# target's own.
function(vedil_platform_sources var)
  if(WIN32)
    list(FILTER ${var} EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER ${var} EXCLUDE REGEX "_windows\\.cpp$")
  endif()
  set(${var} ${${var}} PARENT_SCOPE)
endfunction()

# vedil_library(NAME DIR [QT] [EXCLUDE regex...] [DEPS targets...])
function(vedil_library name dir)
  cmake_parse_arguments(ARG "QT" "" "EXCLUDE;DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  vedil_platform_sources(srcs)
  foreach(pattern IN LISTS ARG_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${pattern}")
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${name} PUBLIC Qt6::Widgets Qt6::PrintSupport)
  endif()
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
  vedil_warnings(${name})
endfunction()

# vedil_folder_sources(TARGET): adds the .cpp and .h files of the calling
# folder (its own, not its subfolders') to a library that several folders
# build together, keeping the platform's own os_* files.
function(vedil_folder_sources target)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  vedil_platform_sources(srcs)
  target_sources(${target} PRIVATE ${srcs})
endfunction()

# vedil_tests(NAME DIR [QT] DEPS targets...): one test program from DIR/*_test.cpp
# (and any helper .cpp there), each test case registered with CTest.
function(vedil_tests name dir)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  vedil_platform_sources(srcs)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE vedil_test_support_qt Qt6::Test)
    if(WIN32)
      # A static Qt links only the plugins named; the tests run offscreen.
      qt_import_plugins(${name} INCLUDE Qt6::QOffscreenIntegrationPlugin)
    endif()
  else()
    target_link_libraries(${name} PRIVATE vedil_test_support vedil_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  vedil_warnings(${name})
  # Tests find the shipped files (reference tables, report project) and the
  # built programs (named with the platform's suffix, .exe on Windows) here.
  target_compile_definitions(${name} PRIVATE
    VEDIL_SOURCE_DIR="${VEDIL_TEST_DRIVE}${PROJECT_SOURCE_DIR}"
    VEDIL_BINARY_DIR="${VEDIL_TEST_DRIVE}${CMAKE_BINARY_DIR}"
    VEDIL_EXE_SUFFIX="${CMAKE_EXECUTABLE_SUFFIX}")
  if(CMAKE_CROSSCOMPILING)
    # Under the emulator every start costs seconds: one CTest entry runs the
    # whole program, and GoogleTest's own summary counts its tests.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 1800 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()

# vedil_program(NAME SOURCES... DEPS targets...): a program under tools/ or src/app.
function(vedil_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  vedil_warnings(${name})
endfunction()
