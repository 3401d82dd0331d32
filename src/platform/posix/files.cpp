#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tintwell::platform {

std::filesystem::path to_path(std::string_view utf8)
{
    return std::filesystem::path(utf8);
}

std::string from_path(const std::filesystem::path& path)
{
    return path.string();
}

FileKind file_kind(const std::string& path)
{
    struct stat status
    {
    };
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        return FileKind::Missing;
    }
    if (S_ISREG(status.st_mode)) {
        return FileKind::Regular;
    }
    return S_ISDIR(status.st_mode) ? FileKind::Folder : FileKind::Other;
}

std::optional<std::uintmax_t> regular_file_size(const std::string& path)
{
    struct stat status
    {
    };
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uintmax_t>(status.st_size);
}

std::FILE* open_for_reading(const std::string& path)
{
    return std::fopen(path.c_str(), "rb");
}

long long write_descriptor(int fd, const char* data, std::size_t size)
{
    return ::write(fd, data, size);
}

std::optional<std::string> read_regular_file(const std::string& path)
{
    if (path.empty()) {
        return std::nullopt;
    }
    // Opened without waiting and looked at before reading: opening a pipe for reading waits for
    // a writer, which would keep the window from ever starting.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> content;
    struct stat status
    {
    };
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        content.emplace();
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
            content->append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
        if (n < 0) {
            content.reset();
        }
    }
    ::close(fd);
    return content;
}

namespace {

bool write_all(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// "PATH: " and the system's text; a permission the user lacks is named as such, so the user knows
// what to look at, while a full disk or a missing folder is not blamed on permissions.
std::string system_error(const std::string& path, int code)
{
    std::string text = path + ": " + std::strerror(code);
    if (code == EACCES || code == EPERM) {
        text += " Check access permission";
    }
    return text;
}

mode_t new_file_mode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a path names once its links are followed, each relative link from its own folder.
// A link that points to nothing yet gives the path the new file is to take, so the link stays
// and names the saved file. False with `failure` set for a loop or an unreadable link.
bool follow_links(std::filesystem::path& target, int& failure)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link
        {
        };
        if (::lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            return true;
        }
        std::error_code ec;
        const std::filesystem::path next = std::filesystem::read_symlink(target, ec);
        if (ec) {
            failure = ec.value();
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    failure = ELOOP;
    return false;
}

// Makes the folder's entries (a new name, a rename, a removal) durable, so a power cut after a
// save cannot bring back the old file or lose the new one. Not every file system can flush a
// folder; the file itself is already on disk, so a failure here is not reported.
void sync_folder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The new text, open for writing in the target's folder. `name` stays empty while the file has
// none: then a kill at any moment leaves nothing behind, because the kernel frees an unnamed file
// with its last descriptor.
struct NewFile
{
    int fd = -1;
    std::string name;
};

NewFile create_in(const std::filesystem::path& folder, const std::filesystem::path& target)
{
    NewFile file;
#if defined(O_TMPFILE)
    file.fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    // EISDIR: a kernel that does not know the flag; EOPNOTSUPP: a file system without unnamed
    // files. Both still take a named temporary file.
    if (file.fd >= 0 || (errno != EISDIR && errno != EOPNOTSUPP)) {
        return file;
    }
#endif
    const std::string hidden = "." + target.filename().string();
    file.name = (folder / (hidden + ".XXXXXX")).string();
    file.fd = ::mkstemp(file.name.data());
    if (file.fd < 0) {
        file.name.clear();
    }
    return file;
}

// Gives the unnamed file a name in the folder. Through /proc any user may link it; where /proc is
// missing, the descriptor itself can be linked by a process that may read any file.
bool link_unnamed(int fd, const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
#if defined(AT_EMPTY_PATH)
    if (errno == ENOENT && ::access("/proc/self/fd", F_OK) != 0) {
        return ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
    }
#endif
    return false;
}

// Links the finished unnamed file beside the target under a fresh name, which it keeps only until
// the rename that follows at once (or, when the old file is written in place, until that is done).
bool name_unnamed(
    NewFile& file, const std::filesystem::path& folder, const std::filesystem::path& target)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        const std::string hidden = "." + target.filename().string();
        const std::string name = (folder / (hidden + "." + suffix)).string();
        if (link_unnamed(file.fd, name)) {
            file.name = name;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// Gives the new file the old one's owner and group where the process may (an ordinary user may
// not give a file away). False when the new file would still belong to someone else than the old
// one: renaming it over the old file would then change who owns the theme.
bool keep_owner(int fd, const struct stat& old)
{
    struct stat now
    {
    };
    if (::fstat(fd, &now) != 0) {
        return false;
    }
    if (now.st_uid == old.st_uid && now.st_gid == old.st_gid) {
        return true;
    }
    if (::fchown(fd, old.st_uid, old.st_gid) == 0) {
        return true;
    }
    return now.st_uid == old.st_uid && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

enum class InPlace {
    Written,
    /// Failed before the old file's text changed.
    Untouched,
    /// Failed part-way: the old file holds part of the new text.
    Damaged,
};

// Writes the text into the old file itself, keeping its inode and with it its owner, group,
// mode and every hard link. The space is claimed first, so a full disk fails before a byte of the
// old text changes.
InPlace write_in_place(const std::filesystem::path& target, const struct stat& old,
    const std::string& bytes, int& failure)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        failure = errno;
        return InPlace::Untouched;
    }
    struct stat now
    {
    };
    // Another program may have put something else at the path since it was looked at.
    if (::fstat(fd, &now) != 0 || now.st_dev != old.st_dev || now.st_ino != old.st_ino) {
        failure = EAGAIN;
        ::close(fd);
        return InPlace::Untouched;
    }
    const auto size = static_cast<off_t>(bytes.size());
    if (size > now.st_size) {
        failure = ::posix_fallocate(fd, 0, size);
        if (failure != 0 && failure != EOPNOTSUPP && failure != EINVAL) {
            ::close(fd);
            return InPlace::Untouched;
        }
    }
    InPlace result = InPlace::Written;
    if (!write_all(fd, bytes) || ::ftruncate(fd, size) != 0 || ::fsync(fd) != 0) {
        failure = errno;
        result = InPlace::Damaged;
    }
    if (::close(fd) != 0 && result == InPlace::Written) {
        failure = errno;
        result = InPlace::Damaged;
    }
    return result;
}

// Saves over a file that must keep its inode: the complete new text is first made durable under a
// name beside the target, then written into the target, and only then removed, so whenever the
// process stops one whole copy is on disk.
ReplaceResult replace_in_place(NewFile& file, const std::filesystem::path& folder,
    const std::filesystem::path& target, const struct stat& old, const std::string& path,
    const std::string& bytes, std::string& error)
{
    bool ok = !file.name.empty() || name_unnamed(file, folder, target);
    int failure = ok ? 0 : errno;
    if (::close(file.fd) != 0 && ok) {
        failure = errno;
        ok = false;
    }
    InPlace written = InPlace::Untouched;
    if (ok) {
        sync_folder(folder);
        written = write_in_place(target, old, bytes, failure);
    }
    if (written == InPlace::Damaged) {
        error = system_error(path, failure) + "; the whole new text is kept in " + file.name;
        return ReplaceResult::Failed;
    }
    if (!file.name.empty()) {
        ::unlink(file.name.c_str());
        sync_folder(folder);
    }
    if (written != InPlace::Written) {
        error = system_error(path, failure);
        return ReplaceResult::Failed;
    }
    return ReplaceResult::Replaced;
}

} // namespace

ReplaceResult replace_file(const std::string& path, const std::string& bytes, std::string& error)
{
    namespace fs = std::filesystem;
    fs::path target(path);
    int failure = 0;
    // Follow links so the file they name is written and the links stay.
    if (!follow_links(target, failure)) {
        error = system_error(path, failure);
        return ReplaceResult::Failed;
    }
    struct stat old
    {
    };
    const bool had_file = ::stat(target.c_str(), &old) == 0;
    if (had_file && S_ISDIR(old.st_mode)) {
        error = system_error(path, EISDIR);
        return ReplaceResult::Failed;
    }
    // Renaming over a pipe, device or socket would put a plain file in its place.
    if (had_file && !S_ISREG(old.st_mode)) {
        error = path + " is not a regular file";
        return ReplaceResult::Refused;
    }
    // Renaming needs only the folder's permission; the file's own is checked here, as the
    // effective user (root may write a file without write bits).
    if (had_file && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0
        && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        error = path + " is read-only";
        return ReplaceResult::Refused;
    }

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    NewFile file = create_in(folder, target);
    if (file.fd < 0) {
        error = system_error(path, errno);
        return ReplaceResult::Failed;
    }
    bool ok = write_all(file.fd, bytes) && ::fsync(file.fd) == 0;
    // A rename would give the path a new inode: other names of the old file would keep the old
    // text, and a file the process cannot give back to its owner would change hands.
    if (ok && had_file && (old.st_nlink > 1 || !keep_owner(file.fd, old))) {
        return replace_in_place(file, folder, target, old, path, bytes, error);
    }
    // After the owner: giving a file away clears its set-id bits.
    if (ok) {
        ok = ::fchmod(file.fd, had_file ? old.st_mode & 07777 : new_file_mode()) == 0;
    }
    if (ok && file.name.empty()) {
        // A new target takes the file's first name directly; an existing one is replaced by a
        // rename, which needs a name to rename from.
        ok = (!had_file && link_unnamed(file.fd, target.string()))
            || name_unnamed(file, folder, target);
    }
    failure = ok ? 0 : errno;
    if (::close(file.fd) != 0 && ok) {
        failure = errno;
        ok = false;
    }
    if (ok && file.name.empty()) {
        sync_folder(folder);
        return ReplaceResult::Replaced;
    }
    if (ok && ::rename(file.name.c_str(), target.c_str()) != 0) {
        failure = errno;
        ok = false;
    }
    if (!ok) {
        if (!file.name.empty()) {
            ::unlink(file.name.c_str());
        }
        error = system_error(path, failure);
        return ReplaceResult::Failed;
    }
    sync_folder(folder);
    return ReplaceResult::Replaced;
}

} // namespace tintwell::platform
