#pragma once

// Symbol visibility of the Ticwell library. The library is built with hidden symbols, so only what
// carries TICWELL_EXPORT is reachable by the host; this keeps the Linux build honest about what a
// Windows build of the same sources would export.

#include <QtCore/qglobal.h>

#if defined(TICWELL_BUILD_LIBRARY)
#define TICWELL_EXPORT Q_DECL_EXPORT
#else
#define TICWELL_EXPORT Q_DECL_IMPORT
#endif
