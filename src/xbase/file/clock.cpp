// The clock seam; see clock.h.
#include "xbase/file/clock.h"

#include <chrono>
#include <ctime>

#include "xbase/file/os_system.h"

namespace xb {
namespace {
std::optional<LocalTime> g_fixed;
}  // namespace

LocalTime Now() {
  if (g_fixed) return *g_fixed;
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t secs = system_clock::to_time_t(now);
  const std::tm tm = os::LocalTime(secs);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.millisecond =
      static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return t;
}

void SetClockForTesting(std::optional<LocalTime> fixed) { g_fixed = fixed; }

}  // namespace xb
