// The one place that tells which platform the program is built for. Code that
// differs wholly between platforms lives in a file per platform, chosen by the
// build; code that differs in a detail asks this constant.
#pragma once

#if defined(_WIN32)
constexpr bool WINDOWS_BUILD = true;
#else
constexpr bool WINDOWS_BUILD = false;
#endif
