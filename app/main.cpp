#include <cstdio>

int main() {
  std::puts("Kavo: the bar window is not built yet; the core library and its tests are.");
  return 0;
}
