#pragma once

// XSECT_API marks the symbols the shared library exports; everything else is hidden.
#if defined(_WIN32)
#  if defined(XSECT_BUILDING)
#    define XSECT_API __declspec(dllexport)
#  else
#    define XSECT_API __declspec(dllimport)
#  endif
#  define XSECT_LOCAL
#else
#  define XSECT_API __attribute__((visibility("default")))
// A member of an exported class that the library uses internally and does not export.
#  define XSECT_LOCAL __attribute__((visibility("hidden")))
#endif
