#include "tagwell/tagwell.h"

namespace tagwell {
const char* LibraryVersion() { return "0.1.0"; }
}  // namespace tagwell
