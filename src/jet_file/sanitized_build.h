// Whether this is the test build with AddressSanitizer, whose runtime needs
// room the program does not: address space beyond any memory limit, and its
// own /proc entry when it looks for leaks at exit.
#pragma once

namespace korvane::jetfile {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kBuiltWithAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kBuiltWithAddressSanitizer = true;
#else
inline constexpr bool kBuiltWithAddressSanitizer = false;
#endif
#else
inline constexpr bool kBuiltWithAddressSanitizer = false;
#endif

}  // namespace korvane::jetfile
