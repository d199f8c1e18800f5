#pragma once

// Symbol visibility of the Tagwell library. The library is built with hidden symbols, so only what
// carries TAGWELL_EXPORT is reachable by the host; a Windows build exports the same set.

#if defined(_WIN32)
#if defined(TAGWELL_BUILD_LIBRARY)
#define TAGWELL_EXPORT __declspec(dllexport)
#else
#define TAGWELL_EXPORT __declspec(dllimport)
#endif
#else
#define TAGWELL_EXPORT __attribute__((visibility("default")))
#endif
