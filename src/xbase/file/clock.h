// The one source of "now" for the whole program: the engine's header dates and
// change stamps, the payer dialog's year list and checks, the agency file's
// year rules. Tests fix it with SetClockForTesting.
#pragma once

#include <optional>

namespace xb {

struct LocalTime {
  int year = 0;    // four digits
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..59
  int millisecond = 0;
};

// The local date and time of the computer's clock, or the fixed value set for
// a test.
LocalTime Now();

// Fixes the value Now() returns; std::nullopt returns to the real clock.
void SetClockForTesting(std::optional<LocalTime> fixed);

}  // namespace xb
