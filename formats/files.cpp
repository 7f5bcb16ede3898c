#include "formats/files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>
#include <utility>

#include "formats/error.h"
#include "formats/text.h"

namespace formats {
namespace {

// The system's reason in Spanish for the common cases; its own (English) words only as a last resort.
std::string systemReason(int err) {
    switch (err) {
        case ENOSPC:
            return "no queda espacio en el disco";
        case EDQUOT:
            return "se ha agotado la cuota de disco";
        case EACCES:
        case EPERM:
            return "permiso denegado";
        case ENOENT:
            return "no existe";
        case EROFS:
            return "el disco es de solo lectura";
        case EBUSY:
        case ETXTBSY:
            return "está en uso";
        case EEXIST:
        case ENOTEMPTY:
            return "ya existe";
        case EISDIR:
            return "es una carpeta";
        case ENOTDIR:
            return "una parte de la ruta no es una carpeta";
        case EIO:
            return "error de entrada/salida del disco";
        default:
            return std::strerror(err);
    }
}

[[noreturn]] void fail(const std::string& what, const fs::path& path, int err) {
    throw Error(what + " \"" + shown(path) + "\": " + systemReason(err));
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return asciiLower(a) == asciiLower(b);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

void writeAll(int fd, std::string_view bytes, const fs::path& path) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("No se puede escribir el archivo", path, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

// The state of the file-operation seam.
struct Seam {
    bool armed = false;
    std::size_t failAt = 0, stopAt = 0, count = 0;
    bool stopped = false;
    std::vector<FileOperations::Record> log;
};

Seam& seam() {
    static Seam s;
    return s;
}

// Counts one operation. False when the program was stopped: the caller then does nothing.
bool proceed(FileOperations::Kind kind, const fs::path& path) {
    Seam& s = seam();
    if (!s.armed) return true;
    if (s.stopped) return false;
    ++s.count;
    s.log.push_back({kind, path});
    if (s.count == s.stopAt) {
        s.stopped = true;
        throw FileOperations::Stopped{};
    }
    if (s.count == s.failAt) fail("No se puede completar la operación sobre", path, ENOSPC);
    return true;
}

using Kind = FileOperations::Kind;

}  // namespace

std::string shown(const fs::path& path) {
    return utf8Of(path);
}

fs::path pathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void FileOperations::arm(std::size_t failAt, std::size_t stopAt) {
    seam() = Seam{true, failAt, stopAt, 0, false, {}};
}

void FileOperations::disarm() {
    seam() = Seam{};
}

const std::vector<FileOperations::Record>& FileOperations::log() {
    return seam().log;
}

bool FileOperations::stopped() {
    return seam().stopped;
}

std::vector<fs::path> folderEntries(const fs::path& dir) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        found.push_back(it->path());
    }
    if (ec) fail("No se puede leer la carpeta", dir, ec.value());
    std::sort(found.begin(), found.end());
    return found;
}

bool isPresent(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

std::vector<fs::path> caseVariants(const fs::path& dir, std::string_view name) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (sameIgnoringCase(it->path().filename().string(), name)) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<fs::path> findCaseInsensitive(const fs::path& dir, std::string_view name) {
    std::error_code ec;
    if (fs::exists(dir / name, ec)) return dir / name;
    auto variants = caseVariants(dir, name);
    if (variants.empty()) return std::nullopt;
    return variants.front();
}

std::string readWholeFile(const fs::path& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) fail("No se puede abrir el archivo", path, errno);
    std::string bytes;
    char buffer[1 << 16];
    while (true) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("No se puede leer el archivo", path, errno);
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

void createFolder(const fs::path& path) {
    if (!proceed(Kind::Create, path)) return;
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        fail("No se puede crear la carpeta", path, errno);
}

void writeFile(const fs::path& path, std::string_view bytes) {
    if (!proceed(Kind::Create, path)) return;
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) fail("No se puede crear el archivo", path, errno);
    if (!proceed(Kind::Write, path)) return;
    writeAll(fd.get(), bytes, path);
    if (::close(fd.release()) != 0) fail("No se puede escribir el archivo", path, errno);
}

void writeFileAtomically(const fs::path& target, std::string_view bytes, Flush flush,
                         const std::function<void()>& beforeRename) {
    fs::path temp = target;
    temp += ".tmp-" + std::to_string(currentProcessId());
    try {
        writeFile(temp, bytes);
        if (flush == Flush::Yes) flushFile(temp);
        if (beforeRename) beforeRename();
        renameFile(temp, target);
    } catch (const Error&) {
        try {
            removeFile(temp);
        } catch (const Error&) {
            // the temporary file stays; a later run removes it
        }
        throw;
    }
}

void flushFile(const fs::path& path) {
    if (!proceed(Kind::Flush, path)) return;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0) fail("No se puede guardar en disco el archivo", path, errno);
}

void flushFolder(const fs::path& path) {
    if (!proceed(Kind::FlushFolder, path)) return;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // Some file systems cannot flush a folder (EINVAL): their renames are as durable as they get.
    if (fd.get() < 0 || (::fsync(fd.get()) != 0 && errno != EINVAL)) {
        fail("No se puede guardar en disco la carpeta", path, errno);
    }
}

void renameFile(const fs::path& from, const fs::path& to) {
    if (!proceed(Kind::Rename, from)) return;
    if (::rename(from.c_str(), to.c_str()) != 0) {
        throw Error("No se puede renombrar \"" + shown(from) + "\" como \"" + shown(to) +
                    "\": " + systemReason(errno));
    }
}

void removeFile(const fs::path& path) {
    if (!proceed(Kind::Remove, path)) return;
    if (::remove(path.c_str()) != 0 && errno != ENOENT) fail("No se puede borrar", path, errno);
}

void removeFolder(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(path, ec))) return removeFile(path);
    for (const fs::path& entry : folderEntries(path)) removeFolder(entry);
    removeFile(path);
}

DateTime localDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

long currentProcessId() {
    return static_cast<long>(::getpid());
}

bool processIsAlive(long pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

FileLock::FileLock(const fs::path& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            throw Error("La tabla \"" + shown(path) + "\" está abierta por otro programa");
        }
        return;
    }
    fd_ = fd.release();
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

void FileLock::release() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

namespace {

// The process id an owner wrote into its lock file. The owner writes it just after it locks the file,
// so a file found empty is read again for a moment.
std::string holderOf(int fd) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        char buffer[32];
        const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
        const std::string text(
            trimControl(std::string_view(buffer, n > 0 ? static_cast<std::size_t>(n) : 0)));
        if (!text.empty()) return text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

bool sameFile(int fd, const fs::path& path) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

}  // namespace

OwnedLockFile::OwnedLockFile(const fs::path& path) : path_(path) {
    while (true) {
        if (!proceed(Kind::Create, path)) return;
        Descriptor fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
        if (fd.get() < 0) fail("No se puede crear el archivo", path, errno);
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) throw Held{holderOf(fd.get())};
            // A file system without locks: go on unlocked rather than refuse every run.
        } else if (!sameFile(fd.get(), path)) {
            continue;  // the owner before us removed the file after we opened it: lock the new one
        }
        try {
            if (proceed(Kind::Write, path)) {
                const std::string pid = std::to_string(currentProcessId());
                if (::ftruncate(fd.get(), 0) != 0 ||
                    ::pwrite(fd.get(), pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
                    fail("No se puede escribir el archivo", path, errno);
                }
            }
        } catch (const Error&) {
            ::remove(path.c_str());  // still locked: no other run can have taken it
            throw;
        }
        fd_ = fd.release();
        return;
    }
}

OwnedLockFile::~OwnedLockFile() {
    if (fd_ < 0) return;
    try {
        removeFile(path_);
    } catch (...) {
        // Left behind, the file does no harm: the next owner takes it over.
    }
    ::close(fd_);
}

}  // namespace formats
