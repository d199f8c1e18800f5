#include "file_io.h"

#include <cerrno>
#include <chrono>
#include <random>
#include <system_error>
#include <thread>

#if defined(_WIN32)
#include <io.h>
#else
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tagwell::io {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCopyBlock = 64 * 1024;

// How long an open waits for another program's lock on the file before it gives up.
constexpr std::chrono::milliseconds kLockWait{1000};
constexpr std::chrono::milliseconds kLockRetry{10};

int SeekTo(std::FILE* f, uint64_t offset) {
#if defined(_WIN32)
  return _fseeki64(f, static_cast<long long>(offset), SEEK_SET);
#else
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET);
#endif
}

int SyncToDisk(std::FILE* f) {
#if defined(_WIN32)
  return _commit(_fileno(f));
#else
  return fsync(fileno(f));
#endif
}

// An advisory lock on the whole file, shared for reading or exclusive for writing, held until the
// file is closed. Other programs that lock the file the same way wait for each other; one that still
// holds it after the bounded wait makes the open fail. Systems without flock are not locked.
void LockOrClose(std::FILE* f, bool exclusive, ErrorSource source, const std::string& path) {
#if defined(_WIN32)
  (void)f;
  (void)exclusive;
  (void)source;
  (void)path;
#else
  const auto deadline = std::chrono::steady_clock::now() + kLockWait;
  for (;;) {
    if (flock(fileno(f), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return;
    const int error = errno;
    if (error == EINTR) continue;
    if ((error != EWOULDBLOCK && error != EAGAIN) || std::chrono::steady_clock::now() >= deadline) {
      std::fclose(f);
      // Held by another program: reported as the host reports a locked file.
      RaiseFileError(source, error == EWOULDBLOCK || error == EAGAIN ? EBUSY : error, path);
    }
    std::this_thread::sleep_for(kLockRetry);
  }
#endif
}

// The owner and group of `from` given to `to`, where the system lets this process do so.
void CopyOwnership(const std::filesystem::path& from, const std::filesystem::path& to) {
#if defined(_WIN32)
  (void)from;
  (void)to;
#else
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0) return;
  if (::chown(to.c_str(), st.st_uid, st.st_gid) != 0) {
    // Not permitted to give the file away: the group alone may still be allowed.
    [[maybe_unused]] const int ignored = ::chown(to.c_str(), static_cast<uid_t>(-1), st.st_gid);
  }
#endif
}

}  // namespace

File File::OpenRead(const std::string& path, ErrorSource source) {
  errno = 0;
  std::FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (!f) RaiseFileError(source, path.empty() ? ENOENT : errno, path);
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    std::fclose(f);
    RaiseFileError(source, EISDIR, path);
  }
  LockOrClose(f, false, source, path);
  return File(f, path, source);
}

File File::OpenReadWrite(const std::string& path, ErrorSource source) {
  errno = 0;
  std::FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "r+b");
  if (!f) RaiseFileError(source, path.empty() ? ENOENT : errno, path);
  LockOrClose(f, true, source, path);
  return File(f, path, source);
}

File::File(File&& other) noexcept : f_(other.f_), path_(std::move(other.path_)), source_(other.source_) {
  other.f_ = nullptr;
}

File::~File() {
  if (f_) std::fclose(f_);
}

void File::Fail(int errnoValue) { RaiseFileError(source_, errnoValue ? errnoValue : EIO, path_); }

void File::Seek(uint64_t offset) {
  if (SeekTo(f_, offset) != 0) Fail(errno);
}

uint64_t File::Size() {
#if defined(_WIN32)
  if (_fseeki64(f_, 0, SEEK_END) != 0) Fail(errno);
  const long long end = _ftelli64(f_);
#else
  if (fseeko(f_, 0, SEEK_END) != 0) Fail(errno);
  const off_t end = ftello(f_);
#endif
  if (end < 0) Fail(errno);
  return static_cast<uint64_t>(end);
}

std::string File::ReadAt(uint64_t offset, std::size_t n) {
  Seek(offset);
  std::string out(n, '\0');
  const std::size_t got = std::fread(out.data(), 1, n, f_);
  if (got < n && std::ferror(f_)) Fail(errno);
  out.resize(got);
  return out;
}

void File::WriteAt(uint64_t offset, std::string_view bytes) {
  Seek(offset);
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size()) Fail(errno);
}

void File::Close() {
  std::FILE* f = f_;
  f_ = nullptr;
  errno = 0;
  const bool flushed = std::fflush(f) == 0;
  const int flushErrno = errno;
  const bool closed = std::fclose(f) == 0;
  if (!flushed) Fail(flushErrno);
  if (!closed) Fail(errno);
}

void ReplaceHead(File& source, std::string_view head, uint64_t keepFrom, const BeforeReplace& beforeReplace) {
  // A symbolic link keeps pointing at the file it named: the file behind it is replaced.
  std::error_code ec;
  fs::path target = source.path();
  if (fs::is_symlink(target, ec)) target = fs::canonical(target, ec);
  if (ec) RaiseFileError(ErrorSource::kID3v2, ec.value(), source.path());

  std::random_device random;
  fs::path temporary;
  std::FILE* out = nullptr;
  for (int attempt = 0; attempt < 100 && !out; ++attempt) {
    temporary = target;
    temporary.replace_filename("." + target.filename().string() + ".tagwell-" + std::to_string(random()));
    errno = 0;
    out = std::fopen(temporary.string().c_str(), "wbx");  // fails when the name exists
    if (!out && errno != EEXIST) RaiseFileError(ErrorSource::kID3v2, errno, temporary.string());
  }
  if (!out) RaiseFileError(ErrorSource::kID3v2, EEXIST, temporary.string());

  try {
    auto put = [&](std::string_view bytes) {
      errno = 0;
      if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
        RaiseFileError(ErrorSource::kID3v2, errno, temporary.string());
      }
    };
    put(head);
    const uint64_t size = source.Size();
    for (uint64_t at = keepFrom; at < size;) {
      const std::string block = source.ReadAt(at, kCopyBlock);
      if (block.empty()) RaiseFileError(ErrorSource::kID3v2, EIO, source.path());
      put(block);
      at += block.size();
    }
    errno = 0;
    if (std::fflush(out) != 0 || SyncToDisk(out) != 0)
      RaiseFileError(ErrorSource::kID3v2, errno, temporary.string());
    std::FILE* finished = out;
    out = nullptr;
    if (std::fclose(finished) != 0) RaiseFileError(ErrorSource::kID3v2, errno, temporary.string());
#if defined(_WIN32)
    source.Close();  // an open file cannot be renamed over here
#endif

    // Owner and group first: giving a file away may clear its set-id bits, which the permissions
    // then restore.
    CopyOwnership(target, temporary);
    const fs::file_status original = fs::status(target, ec);
    if (ec) RaiseFileError(ErrorSource::kID3v2, ec.value(), target.string());
    fs::permissions(temporary, original.permissions(), ec);
    if (ec) RaiseFileError(ErrorSource::kID3v2, ec.value(), temporary.string());
    if (beforeReplace) beforeReplace(temporary);
    fs::rename(temporary, target, ec);
    if (ec) RaiseFileError(ErrorSource::kID3v2, ec.value(), target.string());
#if !defined(_WIN32)
    source.Close();  // the original, and its lock, held until the copy has taken its place
#endif
  } catch (...) {
    if (out) std::fclose(out);
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw;
  }
}

}  // namespace tagwell::io
