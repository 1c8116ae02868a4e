// Symbol visibility of the public API.
//
// A static build (the default) needs nothing. A shared build compiles the
// library with HYPH_BUILDING_SHARED and its users with HYPH_SHARED (set by the
// CMake target's usage requirements), and everything not marked HYPH_API stays
// hidden.
#pragma once

#if defined(HYPH_SHARED) || defined(HYPH_BUILDING_SHARED)
#if defined(_WIN32)
#if defined(HYPH_BUILDING_SHARED)
#define HYPH_API __declspec(dllexport)
#else
#define HYPH_API __declspec(dllimport)
#endif
#else
#define HYPH_API __attribute__((visibility("default")))
#endif
#else
#define HYPH_API
#endif
