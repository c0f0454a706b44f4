#include "data/write_target.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <string_view>
#include <sys/stat.h>

#include "data/regular_file.h"
#include "data/replacement_file.h"

namespace tarvik {
namespace {

// Where a name leads once the links in its last part are followed: the
// folder it is in, by identity, and its last part.
struct place {
  bool known = false;
  dev_t device = 0;
  ino_t inode = 0;
  std::string name;
};

std::string last_part(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder of `path` as it stands (its links not followed), with `name`.
place folder_place(const std::string& path, std::string name) {
  place at;
  struct stat folder;
  if (stat(directory_of(path).c_str(), &folder) != 0) return at;
  at.known = true;
  at.device = folder.st_dev;
  at.inode = folder.st_ino;
  at.name = std::move(name);
  return at;
}

place place_of(const std::string& path) {
  const std::string resolved = resolve_links(path);
  return folder_place(resolved, last_part(resolved));
}

bool same_folder(const place& a, const place& b) {
  return a.known && b.known && a.device == b.device && a.inode == b.inode;
}

// LOG.bak, LOG.bak.1, ...: the names the log's backups are given.
bool backup_name(std::string_view name, const std::string& log_name) {
  const std::string base = log_name + ".bak";
  if (name.size() < base.size() || name.substr(0, base.size()) != base) return false;
  name.remove_prefix(base.size());
  if (name.empty()) return true;
  if (name.front() != '.' || name.size() < 2) return false;
  return std::all_of(name.begin() + 1, name.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// Whether `status` is the file of one of the backups beside `log`.
bool is_backup_file(const struct stat& status, const std::string& log) {
  const std::string folder = directory_of(log);
  const std::string name = last_part(log);
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) return false;
  bool found = false;
  while (const dirent* entry = readdir(listing)) {
    if (!backup_name(entry->d_name, name)) continue;
    struct stat backup;
    const std::string path = folder + "/" + entry->d_name;
    if (stat(path.c_str(), &backup) == 0 && backup.st_dev == status.st_dev &&
        backup.st_ino == status.st_ino) {
      found = true;
      break;
    }
  }
  closedir(listing);
  return found;
}

}  // namespace

write_refusal refuse_to_write(const std::string& target, const std::string& log,
                              const std::vector<kept_file>& kept) {
  // stat never opens: a FIFO cannot block here.
  struct stat status;
  const bool exists = stat(target.c_str(), &status) == 0;
  if (exists && !S_ISREG(status.st_mode)) return {false, not_regular(status.st_mode)};
  if (log.empty()) return {};
  const place at = place_of(target);
  const auto is = [&](const std::string& path) {
    struct stat other;
    if (exists && stat(path.c_str(), &other) == 0 && other.st_dev == status.st_dev &&
        other.st_ino == status.st_ino) {
      return true;
    }
    const place there = place_of(path);
    return same_folder(at, there) && at.name == there.name;
  };
  if (is(log)) return {true, "it is the log itself"};
  for (const kept_file& file : kept) {
    if (!file.path.empty() && is(file.path)) return {true, "it is " + file.what};
  }
  // Backups are made beside the log as it was named; a log named through a
  // link may have them beside the file it leads to as well.
  for (const std::string& named : {log, resolve_links(log)}) {
    const place backups = folder_place(named, last_part(named));
    if (same_folder(at, backups) && backup_name(at.name, backups.name)) {
      return {true, "it is a backup of the log"};
    }
    // Another name of a backup's file can only be a hard link.
    if (exists && status.st_nlink > 1 && is_backup_file(status, named)) {
      return {true, "it is a backup of the log"};
    }
  }
  return {};
}

}  // namespace tarvik
