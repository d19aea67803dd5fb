#pragma once

// XSECT_API marks the symbols the shared library exports; everything else is hidden.
#if defined(_WIN32)
#  if defined(XSECT_BUILDING)
#    define XSECT_API __declspec(dllexport)
#  else
#    define XSECT_API __declspec(dllimport)
#  endif
#else
#  define XSECT_API __attribute__((visibility("default")))
#endif
