#pragma once

// Files as Tagwell uses them: opened for one operation and closed again, every failure raised to the
// host with the class's source text, and the whole-file rewrite done on a copy that replaces the
// original only once it is complete.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "errors.h"
#include "tagwell/tagwell_export.h"

namespace tagwell::io {

class TAGWELL_EXPORT File {
 public:
  // Raise the open error (File not found, Permission denied, ...) when the file cannot be opened.
  // The file is locked against other writers while open: OpenRead takes a shared lock, OpenReadWrite
  // an exclusive one (flock, where the system has it); a lock another program still holds after a
  // wait of one second raises Permission denied.
  static File OpenRead(const std::string& path, ErrorSource source);
  static File OpenReadWrite(const std::string& path, ErrorSource source);

  File(File&& other) noexcept;
  File& operator=(File&&) = delete;
  ~File();

  const std::string& path() const { return path_; }
  uint64_t Size();
  // Up to n bytes from offset; fewer at the end of the file.
  std::string ReadAt(uint64_t offset, std::size_t n);
  void WriteAt(uint64_t offset, std::string_view bytes);
  // Flushes and closes, raising a failed write; the destructor closes without checking.
  void Close();

 private:
  File(std::FILE* f, std::string path, ErrorSource source) : f_(f), path_(std::move(path)), source_(source) {}
  void Seek(uint64_t offset);
  [[noreturn]] void Fail(int errnoValue);

  std::FILE* f_;
  std::string path_;
  ErrorSource source_;
};

// Called with the finished temporary file just before it replaces the original.
using BeforeReplace = std::function<void(const std::filesystem::path& temporary)>;

// Replaces the file `source` was opened on by `head` followed by the file's bytes from `keepFrom` to
// its end. The new content is written to a fresh file in the same folder (so the rename stays on one
// file system), flushed to disk, given the original's permissions (and its owner and group where
// that is allowed) and renamed over the original; the original stays as it was, and locked, until
// that rename. On any failure the temporary file is removed and the error is raised; `source` is
// closed after a successful rename, otherwise when it is destroyed.
TAGWELL_EXPORT void ReplaceHead(File& source, std::string_view head, uint64_t keepFrom,
                                const BeforeReplace& beforeReplace = {});

}  // namespace tagwell::io
