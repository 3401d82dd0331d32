#include "model/writer.h"

#include "model/text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tintwell {

using namespace text;

namespace {

constexpr std::string_view q = "\"";

bool file_exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

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

void append_style(std::string& out, StyleRow& row)
{
    out += crlf;
    out += "<STYLE field = ";
    out += q;
    out += row.field_name();
    out += q;
    if (!row.scale().empty()) {
        out += " scale=";
        out += q;
        out += row.scale();
        out += q;
        out += " ";
    }
    const bool has_border = !row.border().empty() && row.border() != "0";
    if (has_border) {
        out += " border=";
        out += q;
        out += row.border();
        out += q;
        out += " ";
    }
    out += ">";
    out += crlf;
    out += " <COLOR>";
    out += crlf;

    bool wrote_primary_night = false;
    if (!row.pri_day().empty()) {
        out += "<PRIMARY day = ";
        out += q;
        out += '#';
        out += row.pri_day();
        out += q;
        if (!row.pri_night().empty() && row.pri_night() != "-1") {
            out += " night=";
            out += q;
            out += '#';
            out += row.pri_night();
            out += q;
            wrote_primary_night = true;
        }
        out += "/>";
        out += crlf;
    }
    if (!row.sec_day().empty() && row.border() != "0") {
        out += "<SECONDARY day = ";
        out += q;
        out += '#';
        out += row.sec_day();
        out += q;
        if (!row.sec_night().empty() && row.sec_night() != "-1"
            && (row.pri_day().empty() || wrote_primary_night)) {
            out += " night=";
            out += q;
            out += '#';
            out += row.sec_night();
            out += q;
        }
        out += "/>";
        out += crlf;
    }
    out += " </COLOR >";
    out += crlf;
    out += "</STYLE>";
    out += crlf;
}

} // namespace

std::string get_head()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<GARMIN_MAP_THEME>\r\n";
}

std::string make_meta(Document& doc)
{
    ThemeMetadata& meta = doc.metadata;
    if (meta.title.empty()) {
        doc.message("Needs a Title");
        doc.view().focus_title();
        return {};
    }
    if (doc.kind == ThemeKind::SportFitness) {
        return "<metadata><title>" + meta.title + "</title><description>" + meta.description
            + "</description></metadata>";
    }
    if (meta.description.empty()) {
        meta.description = "map theme";
    }
    if (meta.locale.empty()) {
        meta.locale = "Global";
    }
    if (meta.version.empty()) {
        meta.version = "1.00";
    }
    doc.view().metadata_changed(meta);

    auto separator = instr(meta.version, ".");
    if (separator == 0) {
        separator = instr(meta.version, ",");
    }
    std::string major = meta.version;
    std::string minor = "00";
    if (separator != 0) {
        major = left(meta.version, separator - 1);
        minor = mid(meta.version, separator + 1);
    }
    const std::string nl(crlf);
    return "<METADATA>" + nl + "<TITLE>" + meta.title + "</TITLE>" + nl + "<DESCRIPTION>"
        + meta.description + "</DESCRIPTION>" + nl + "<LOCALELIST>" + nl + "<locale>" + meta.locale
        + "</locale>" + nl + "</LOCALELIST>" + nl + "<Version><Major>" + major + "</Major><Minor>"
        + minor + "</Minor></Version>" + nl + "</METADATA>";
}

std::string car_zumo_text(Document& doc)
{
    std::string out = get_head();
    const std::string meta = make_meta(doc);
    if (meta.empty()) {
        return {};
    }
    out += meta;
    out += crlf;

    std::string previous;
    for (int i = 0; i < doc.row_count(); ++i) {
        StyleRow& row = doc.rows[static_cast<std::size_t>(i)];
        if (row.pres_name() != previous || i == 0) {
            previous = row.pres_name();
            if (i != 0) {
                out += "</STYLELIST>\r\n</PRESENTATION>\r\n";
            }
            out += "<PRESENTATION ID=\"" + trim(row.pres_name()) + "\" > \r\n<STYLELIST>\r\n";
        }
        if (row.border().find_first_of("\r\n") != std::string_view::npos) {
            row.set_border(remove(remove(row.border(), "\r"), "\n"));
        }
        for (const char c : row.border()) {
            if (static_cast<unsigned char>(c) < 32) {
                doc.message("Error with Border Height");
            }
        }
        append_style(out, row);
    }
    out += "</STYLELIST>\r\n</PRESENTATION>\r\n</GARMIN_MAP_THEME>";
    return out;
}

std::string sport_fitness_text(Document& doc)
{
    std::string out = lower(get_head());
    out += make_meta(doc);
    out += "<stylelist>";
    for (const StyleRow& row : doc.rows) {
        out += "<style ";
        out += row.style_text();
    }
    out += "</stylelist></garmin_map_theme>";
    return out;
}

bool save_nwf(Document& doc, const std::string& path)
{
    const bool written = append_(doc, path, sport_fitness_text(doc));
    if (written) {
        doc.modified = false;
    }
    doc.view().busy_off();
    return written;
}

bool save_code(Document& doc, const std::string& path)
{
    if (file_exists(path)) {
        if (!doc.prompter().ask_yes_no("Overwrite existing file?")) {
            return false;
        }
    }
    return save_in_place(doc, path);
}

bool save_in_place(Document& doc, const std::string& path)
{
    doc.view().busy_on();
    if (doc.kind == ThemeKind::SportFitness) {
        return save_nwf(doc, path);
    }
    const std::string content = car_zumo_text(doc);
    if (content.empty()) {
        doc.message("File not saved");
        doc.view().busy_off();
        return false;
    }
    const bool written = append_(doc, path, content);
    if (written) {
        doc.modified = false;
    }
    doc.view().busy_off();
    return written;
}

namespace {

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

bool append_(Document& doc, const std::string& path, const std::string& text)
{
    std::string error;
    std::string bytes = text;
    bytes += crlf;
    switch (replace_file(path, bytes, error)) {
    case ReplaceResult::Refused:
    case ReplaceResult::Failed:
        doc.message(error);
        return false;
    case ReplaceResult::Replaced:
        break;
    }
    if (!file_exists(path)) {
        doc.message("Invalid file:" + path);
        return false;
    }
    return true;
}

bool save_text_file(Prompter& prompter, const std::string& path, const std::string& text)
{
    if (path.empty()) {
        return false;
    }
    std::string error;
    std::string bytes = text;
    bytes += crlf;
    if (replace_file(path, bytes, error) != ReplaceResult::Replaced) {
        prompter.message(error);
        return false;
    }
    return true;
}

} // namespace tintwell
