// The wait cursor's nesting counter.
#include "config/hourglass.h"

#include <utility>

namespace qv {
namespace {

struct Hourglass {
  int depth = 0;
  std::function<void(bool)> listener;
};

Hourglass& State() {
  static Hourglass state;
  return state;
}

}  // namespace

void SetHourglass(bool on) {
  Hourglass& h = State();
  if (on) {
    if (++h.depth == 1 && h.listener) h.listener(true);
  } else if (h.depth > 0) {
    if (--h.depth == 0 && h.listener) h.listener(false);
  }
}

int HourglassDepth() { return State().depth; }

void SetHourglassListener(std::function<void(bool busy)> listener) {
  State().listener = std::move(listener);
}

}  // namespace qv
