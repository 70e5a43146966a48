// The engine's exceptions. Every failure of the storage engine is raised as
// EXbaseError carrying its finished message text; expression and encipherment
// failures use the two subclasses so callers may tell them apart.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>

namespace xb {

class EXbaseError : public std::runtime_error {
 public:
  explicit EXbaseError(const std::string &message) : std::runtime_error(message) {}
};

// Parse and evaluation errors of the expression language.
class EXbaseExpression : public EXbaseError {
 public:
  using EXbaseError::EXbaseError;
};

// Tables whose records are enciphered, and passwords that do not fit them.
class EXbaseEncryption : public EXbaseError {
 public:
  using EXbaseError::EXbaseError;
};

// Fills a message pattern: each "%s" or "%d" takes the next argument in order
// (numbers are passed already turned into text, so 64-bit offsets print
// whole); "%%" is a percent sign. Missing arguments leave the placeholder.
std::string FormatMessage(const char *pattern, std::initializer_list<std::string> args);

// Formats and throws in one step.
[[noreturn]] void RaiseError(const char *pattern, std::initializer_list<std::string> args = {});
[[noreturn]] void RaiseEncryption(const char *pattern, std::initializer_list<std::string> args);

}  // namespace xb
