// The wait cursor: a nesting counter; the UI shows the busy cursor while it is above zero.
#pragma once
#include <functional>

namespace qv {

// +1 for on, -1 for off, never below 0. Calls nest.
void SetHourglass(bool on);
int HourglassDepth();

// Called with true when the counter leaves 0 and with false when it returns to 0.
// The UI installs one that sets and restores the application's override cursor.
void SetHourglassListener(std::function<void(bool busy)> listener);

// Holds the wait cursor for the life of a scope.
class HourglassScope {
 public:
  HourglassScope() { SetHourglass(true); }
  ~HourglassScope() { SetHourglass(false); }
  HourglassScope(const HourglassScope&) = delete;
  HourglassScope& operator=(const HourglassScope&) = delete;
};

}  // namespace qv
