// What the engine asks of the operating system beyond files: the running
// program's path, the folder of system-wide settings, and the broken-down
// local time. One implementation per platform (os_system_posix.cpp,
// os_system_windows.cpp); paths are UTF-8 with '/' between folders.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace xb::os {

// The program's command line as UTF-8, the program itself first (main's
// arguments here; on Windows the wide command line, since main's are in the
// narrow code page).
std::vector<std::string> ProgramArguments(int argc, char **argv);

// Makes the standard streams binary, so that a program prints the same
// bytes on every platform (the Windows C runtime turns "\n" into "\r\n").
void UseBinaryStandardStreams();

// The full path of the running program file; empty when it cannot be told.
std::string ProgramFilePath();

// The folder of the engine's system-wide settings file (the alias list):
// /etc here, the Windows directory on Windows. No trailing separator.
std::string SystemSettingsDirectory();

// `secs` as local date and time in the computer's time zone.
std::tm LocalTime(std::time_t secs);

}  // namespace xb::os
