// The system calls behind child_process.h, one file per platform
// (child_process_posix.cpp, child_process_windows.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The first argument of a child: this flag followed by the child's name.
inline constexpr char kChildFlag[] = "--vedil-test-child=";

// Starts this program with `args` (after the program itself); the process's
// handle. Throws when it cannot be started.
std::intptr_t StartThisProgram(const std::vector<std::string> &args);

// Waits for the process and releases its handle; its exit status.
int WaitForProcess(std::intptr_t process);

}  // namespace testing_support
