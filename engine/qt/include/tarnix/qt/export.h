#pragma once

#if defined(TARNIXQT_BUILDING)
#define TARNIXQT_API __attribute__((visibility("default")))
#else
#define TARNIXQT_API
#endif
