#pragma once

// Ticwell is the timer control that drives the scheduler.
// The control arrives with its own work; this header fixes the library's name and version.
namespace ticwell {
const char* LibraryVersion();
}
