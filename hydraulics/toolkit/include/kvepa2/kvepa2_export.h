/* Export attribute of the toolkit's C functions; everything else stays hidden. */
#ifndef KVEPA2_EXPORT_H
#define KVEPA2_EXPORT_H

#if defined(KVEPA2_BUILDING) && defined(__GNUC__)
#define DLLEXPORT __attribute__((visibility("default")))
#else
#define DLLEXPORT
#endif

#endif
