#include "ticwell/ticwell.h"

namespace ticwell {
const char* LibraryVersion() { return "0.1.0"; }
}  // namespace ticwell
