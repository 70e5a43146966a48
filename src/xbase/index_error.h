// The one way the index code raises an engine error: the formatted message
// text, thrown as the engine's exception.
#pragma once

#include <string>

namespace xb {

[[noreturn]] void ThrowIndexError(const std::string &message);

// "Index file %s is corrupted" with the given name.
[[noreturn]] void ThrowIndexCorrupted(const std::string &name);

}  // namespace xb
