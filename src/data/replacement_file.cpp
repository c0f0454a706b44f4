#include "data/replacement_file.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <system_error>
#include <thread>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "data/diagnostic.h"
#include "data/system_calls.h"

namespace tarvik {
namespace {

// Large writes, few calls; the buffer never holds more than this.
constexpr std::size_t kChunk = 1 << 18;

// Enough to follow any sane chain of links, and to stop on a loop.
constexpr int kMaxLinks = 40;

// What every temporary name of a target starts and ends with.
std::string temporary_prefix(const std::string& target) {
  const std::size_t slash = target.find_last_of('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  return "." + base + ".tarvik-";
}
constexpr const char* kTemporarySuffix = ".tmp";

// A name part that another writer, now or later, will not pick: the process,
// the time and a counter, mixed. O_EXCL settles any clash anyway.
std::string unique_part() {
  static std::uint64_t counter = 0;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::uint64_t x = (static_cast<std::uint64_t>(getpid()) << 32) ^
                    static_cast<std::uint64_t>(now.tv_nsec) ^
                    (static_cast<std::uint64_t>(now.tv_sec) << 20) ^ (++counter * 0x9E3779B97F4A7C15u);
  // splitmix64's finaliser spreads every input bit over the name.
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
  x ^= x >> 31;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(x));
  return text;
}

// An old log at least this large is let go on a thread of its own.
constexpr off_t kLargeOldFile = off_t{1} << 20;

// Closes `fd`, the last hold on a file without a name, away from the caller:
// that close is what frees the file's blocks, which for a large log takes
// about as long as writing it. Nothing of the file is left to see by then,
// and a crash before it leaves the freeing to the file system's recovery.
void release_later(int fd) {
  try {
    std::thread([fd] { ::close(fd); }).detach();
  } catch (const std::system_error&) {
    ::close(fd);
  }
}

// Whether the file system of `fd` stamps times from this machine's clock,
// in nanoseconds: the local ones a log usually lives on. Network and
// foreign file systems take their stamps elsewhere or cut them coarsely.
bool stamps_from_clock(int fd) {
#ifdef __linux__
  struct statfs about;
  if (fstatfs(fd, &about) != 0) return false;
  switch (static_cast<unsigned long>(about.f_type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x58465342:  // XFS
    case 0x9123683E:  // Btrfs
    case 0x01021994:  // tmpfs
      return true;
    default:
      return false;
  }
#else
  (void)fd;
  return false;
#endif
}

}  // namespace

void remove_stale_temporaries(const std::string& target) {
  const std::string directory = directory_of(target);
  const std::string prefix = temporary_prefix(target);
  DIR* listing = opendir(directory.c_str());
  if (listing == nullptr) return;
  const std::size_t suffix = std::strlen(kTemporarySuffix);
  while (const dirent* entry = readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name.size() == prefix.size() + 16 + suffix && name.starts_with(prefix) &&
        name.ends_with(kTemporarySuffix)) {
      current_system_calls().unlink((directory + "/" + std::string(name)).c_str());
    }
  }
  closedir(listing);
}

std::string directory_of(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string resolve_links(const std::string& path) {
  std::string current = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat status;
    if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    char target[PATH_MAX];
    const ssize_t length = readlink(current.c_str(), target, sizeof target);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof target) return current;
    std::string next(target, static_cast<std::size_t>(length));
    if (next.empty() || next[0] != '/') next = directory_of(current) + "/" + next;
    current = next;
  }
  return current;
}

replacement_file::replacement_file(const std::string& path) : target_(resolve_links(path)) {}

replacement_file::~replacement_file() {
  if (fd_ >= 0) current_system_calls().close(fd_);
  remove_temporary();
}

bool replacement_file::fail(const char* step) {
  failed_step_ = step;
  error_ = errno;
  if (fd_ >= 0) current_system_calls().close(fd_);
  fd_ = -1;
  remove_temporary();
  return false;
}

void replacement_file::remove_temporary() {
  if (!temporary_exists_) return;
  current_system_calls().unlink(temporary_.c_str());
  temporary_exists_ = false;
}

bool replacement_file::open() {
  const system_calls& calls = current_system_calls();
  struct stat status;
  if (stat(target_.c_str(), &status) == 0) {
    // Only a regular file is replaced: never a device, a FIFO, a socket or
    // a directory that a link or a mistake put at the log's name.
    if (!S_ISREG(status.st_mode)) {
      errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
      return fail("opening");
    }
    // Refuse what an in-place rewrite would refuse: a read-only log. The
    // probe never truncates.
    const int probe = calls.open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    if (probe < 0) return fail("opening");
    calls.close(probe);
    keep_mode_ = true;
    mode_ = status.st_mode & 07777;
    keep_owner_ = true;
    owner_ = status.st_uid;
    group_ = status.st_gid;
    old_size_ = status.st_size;
  } else if (errno != ENOENT) {
    return fail("opening");
  }
  return create_temporary() || fail("opening");
}

bool replacement_file::create_temporary() {
  const std::string start = directory_of(target_) + "/" + temporary_prefix(target_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = start + unique_part() + kTemporarySuffix;
    fd_ = current_system_calls().open(temporary_.c_str(),
                                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0664);
    if (fd_ >= 0) {
      temporary_exists_ = true;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool replacement_file::append(std::string_view bytes) {
  // Large pieces go to the file as they are, a chunk a call, so that the
  // disk starts on one while the next is handed over; small ones are
  // gathered.
  if (bytes.size() >= kChunk / 2) {
    if (!buffer_.empty() && !flush()) return false;
    while (bytes.size() > kChunk) {
      if (!write_all(bytes.substr(0, kChunk))) return false;
      bytes.remove_prefix(kChunk);
    }
    return write_all(bytes);
  }
  buffer_.append(bytes);
  return buffer_.size() < kChunk || flush();
}

bool replacement_file::flush() {
  if (!write_all(buffer_)) return false;
  buffer_.clear();
  return true;
}

bool replacement_file::write_all(std::string_view bytes) {
  const system_calls& calls = current_system_calls();
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = calls.write(fd_, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return fail("writing");
    }
    written += static_cast<std::size_t>(n);
  }
#ifdef __linux__
  // Start writing back what we have so far, so that the disk works while
  // the next chunk is made and the final fsync has little left to wait for.
  // Only a hint: fsync still decides, so a failure here is ignored.
  sync_file_range(fd_, offset_, static_cast<off_t>(bytes.size()), SYNC_FILE_RANGE_WRITE);
#endif
  offset_ += static_cast<off_t>(bytes.size());
  return true;
}

bool replacement_file::finish_writing() {
  const system_calls& calls = current_system_calls();
  if (fd_ < 0) {
    errno = EBADF;
    return fail("writing");
  }
  if (!flush()) return false;
  // The owner first: changing it may clear set-id bits that fchmod then
  // sets again. Who may not give the file away keeps at least the group if
  // they can; either way the save goes on.
  if (keep_owner_ && ::fchown(fd_, owner_, group_) != 0) (void)::fchown(fd_, static_cast<uid_t>(-1), group_);
  if (keep_mode_ && calls.fchmod(fd_, static_cast<mode_t>(mode_)) != 0) {
    return fail("setting the permissions of");
  }
  if (calls.fsync(fd_) != 0) return fail("syncing");
  written_ = file_state::of_descriptor(fd_);
  clock_stamps_ = stamps_from_clock(fd_);
  const int fd = fd_;
  fd_ = -1;
  if (calls.close(fd) != 0) return fail("closing");
  return true;
}

bool replacement_file::sync_directory() {
  const system_calls& calls = current_system_calls();
  const int fd = calls.open(directory_of(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return fail("syncing the directory of");
  const bool synced = calls.fsync(fd) == 0;
  const int error = errno;
  calls.close(fd);
  errno = error;
  return synced || fail("syncing the directory of");
}

bool replacement_file::replace() {
  if (!finish_writing()) return false;
  const system_calls& calls = current_system_calls();
  // Keep the old file reachable under a second name until the new one is
  // known to be in place for good, so that a failed directory sync can put
  // it back. Where hard links are not to be had, go on without.
  previous_ = directory_of(target_) + "/" + temporary_prefix(target_) + unique_part() + kTemporarySuffix;
  const bool kept_previous = calls.link(target_.c_str(), previous_.c_str()) == 0;
  if (calls.rename(temporary_.c_str(), target_.c_str()) != 0) {
    if (kept_previous) calls.unlink(previous_.c_str());
    return fail("replacing");
  }
  temporary_exists_ = false;
  if (!sync_directory()) {
    const int error = error_;
    if (kept_previous) calls.rename(previous_.c_str(), target_.c_str());
    error_ = error;
    return false;
  }
  if (kept_previous) {
    // A large old file is held open while its last name goes, so that the
    // unlink only takes the name and the freeing waits for the close.
#ifdef O_PATH
    const int hold = old_size_ >= kLargeOldFile
                         ? ::open(previous_.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC)
                         : -1;
#else
    const int hold = -1;
#endif
    calls.unlink(previous_.c_str());
    if (hold >= 0) release_later(hold);
  }
  // The rename stamped a change time: once the clock is past it, the file
  // can be told unchanged by one look.
  written_ = file_state::placed(written_, target_, clock_stamps_);
  return true;
}

bool replacement_file::create() {
  if (!finish_writing()) return false;
  // link() never replaces an existing file, unlike rename(). Where the file
  // system has no hard links, a rename that refuses to replace does the same.
  if (current_system_calls().link(temporary_.c_str(), target_.c_str()) == 0) {
    remove_temporary();
    return sync_directory();
  }
  if (errno != EPERM && errno != EOPNOTSUPP) return fail("creating");
  if (renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) != 0) {
    return fail("creating");
  }
  temporary_exists_ = false;
  return sync_directory();
}

bool write_whole_file(const std::string& path, std::string_view bytes, std::string& error) {
  replacement_file file(path);
  if (file.open() && file.append(bytes) && file.replace()) return true;
  error = error_text(file.error());
  return false;
}

}  // namespace tarvik
