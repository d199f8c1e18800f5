#pragma once

// Tagwell reads and writes ID3v1 and ID3v2 tags of MP3 files.
// The tag classes arrive with their own work; this header fixes the library's name and version.
namespace tagwell {
const char* LibraryVersion();
}
