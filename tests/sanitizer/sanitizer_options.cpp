// Default sanitizer options built into the test and fuzz programs, so that
// every run, by ctest or by hand, stops at the first finding and fails.
// ASAN_OPTIONS and UBSAN_OPTIONS in the environment still override them.

extern "C" const char* __asan_default_options();
extern "C" const char* __ubsan_default_options();

extern "C" const char* __asan_default_options() {
  return "halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:"
         "check_initialization_order=1:strict_init_order=1";
}

extern "C" const char* __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }
