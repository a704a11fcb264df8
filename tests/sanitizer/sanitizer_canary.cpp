// Commits one fault on purpose, chosen by its argument, so that a test can
// check that the sanitizer build stops a program at such a fault and makes
// it fail rather than report and go on.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (std::strcmp(argv[1], "undefined") == 0) {
    volatile int big = INT_MAX - 2 + argc;  // INT_MAX, hidden from the compiler
    int sum = big + 1;                      // signed overflow
    std::printf("%d\n", sum);
  } else if (std::strcmp(argv[1], "address") == 0) {
    char* p = static_cast<char*>(std::malloc(8));
    volatile int at = 6 + argc;  // 8: one past the end
    p[at] = 'x';
    std::printf("%c\n", p[at]);
    std::free(p);
  } else {
    return 2;
  }
  std::printf("not stopped\n");
  return 0;
}
