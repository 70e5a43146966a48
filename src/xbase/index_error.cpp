// Raising engine errors from the index code.
#include "xbase/index_error.h"

#include <stdexcept>

namespace xb {

void ThrowIndexError(const std::string &message) { throw std::runtime_error(message); }

void ThrowIndexCorrupted(const std::string &name) {
  ThrowIndexError("Index file " + name + " is corrupted");
}

}  // namespace xb
