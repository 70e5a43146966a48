# The Windows build, cross-compiled with mingw-w64 (cmake/mingw-w64-x86_64.cmake)
# against a static Qt: every program is one .exe that needs only Windows' own
# DLLs, GoogleTest is built from Debian's sources with the same compiler, and
# the tests run under the emulator (wine) named by CMAKE_CROSSCOMPILING_EMULATOR.

# The compiler's runtime (libgcc, libstdc++, winpthread) is linked in, and the
# C runtime's standard streams and files opened without a mode are binary, as
# on Linux: what the programs print and write is the same bytes there and here.
find_file(VEDIL_MINGW_BINMODE binmode.o PATHS ${CMAKE_FIND_ROOT_PATH} PATH_SUFFIXES lib
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_link_options(-static ${VEDIL_MINGW_BINMODE})

# GoogleTest from the sources Debian ships with libgtest-dev (they name their
# targets GTest::gtest and GTest::gmock themselves).
set(VEDIL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${VEDIL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The tests run under Wine, which shows the build machine's files on drive Z:.
set(VEDIL_TEST_DRIVE "Z:")
