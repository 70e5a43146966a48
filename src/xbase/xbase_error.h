// The engine's exceptions: every engine failure is raised as EXbaseError with
// its formatted message text; expression and encipherment failures use the two
// subclasses so that callers can tell them apart.
#pragma once

#include <stdexcept>
#include <string>

namespace xb {

class EXbaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EXbaseExpression : public EXbaseError {
 public:
  using EXbaseError::EXbaseError;
};

class EXbaseEncryption : public EXbaseError {
 public:
  using EXbaseError::EXbaseError;
};

}  // namespace xb
