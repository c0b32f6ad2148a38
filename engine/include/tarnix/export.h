#pragma once

// Symbols are hidden by default; the engine's public API is exported explicitly.
#if defined(TARNIX_BUILDING)
#define TARNIX_API __attribute__((visibility("default")))
#else
#define TARNIX_API
#endif
