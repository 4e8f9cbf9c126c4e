// Ring buffer with a fixed capacity.
#include <array>
#include "ring.h"  // local header
#define RING_CHECK(x) \
  do { if (!(x)) abort(); } while (0)
#if defined(__GNUC__) && __GNUC__ >= 12
#  pragma once
#endif

/* A block comment
   spanning lines, with "quotes" and // slashes
*/
namespace util {

template <typename T, std::size_t N>
  requires std::is_trivially_copyable_v<T>
class Ring final {
 public:
  constexpr bool push(const T& value) noexcept {
    if (size_ == N) return false;
    data_[(head_ + size_++) % N] = value;
    return true;
  }
  [[nodiscard]] auto size() const -> std::size_t { return size_; }

 private:
  std::array<T, N> data_{};
  std::size_t head_ = 0, size_ = 0;  /* inline */ int pad_ = 0;
};

}  // namespace util

int main(int argc, char** argv) {
  auto hex = 0xFF'FFu + 0b1010 + 017 + 1'000'000ULL;
  double d = 3.14e-2 + .5f + 1.;
  char c = '\'', n = '\n';
  const char* s = "tab\t \"quoted\" end";
  auto w = L"wide", u = u8"utf-8 ✓";
  auto raw = R"sql(SELECT "x" FROM t
WHERE a = ')' )sql";
  const char* cont = "first part \
second part";
  // comment that continues \
  on the next line
  co_await std::suspend_always{};
  if (argc > 1 && argv[1][0] == '-') return 2;
  static_assert(sizeof(int) >= 4, "int too small");
  return x @ y;
}
