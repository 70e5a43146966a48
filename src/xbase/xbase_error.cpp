// Message formatting and throwing for the engine's exceptions; see xbase_error.h.
#include "xbase/xbase_error.h"

namespace xb {

std::string FormatMessage(const char *pattern, std::initializer_list<std::string> args) {
  std::string out;
  auto next = args.begin();
  for (const char *p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == '%') {
      out += '%';
      ++p;
    } else if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && next != args.end()) {
      out += *next++;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

void RaiseError(const char *pattern, std::initializer_list<std::string> args) {
  throw EXbaseError(FormatMessage(pattern, args));
}

void RaiseEncryption(const char *pattern, std::initializer_list<std::string> args) {
  throw EXbaseEncryption(FormatMessage(pattern, args));
}

}  // namespace xb
