#include "formats/files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>

#include "formats/error.h"
#include "formats/text.h"

namespace formats {
namespace {

std::string systemReason(int err) {
    return std::strerror(err);
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
            throw Error("No se puede escribir el archivo \"" + shown(path) + "\": " + systemReason(errno));
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace

std::string shown(const fs::path& path) {
    return path.string();
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
    if (fd.get() < 0)
        throw Error("No se puede abrir el archivo \"" + shown(path) + "\": " + systemReason(errno));
    std::string bytes;
    char buffer[1 << 16];
    while (true) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Error("No se puede leer el archivo \"" + shown(path) + "\": " + systemReason(errno));
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

void writeFileAtomically(const fs::path& target, std::string_view bytes,
                         const std::function<void()>& beforeRename) {
    fs::path temp = target;
    temp += ".tmp-" + std::to_string(currentProcessId());
    {
        Descriptor fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (fd.get() < 0) {
            throw Error("No se puede crear el archivo \"" + shown(temp) + "\": " + systemReason(errno));
        }
        try {
            writeAll(fd.get(), bytes, temp);
            if (::fsync(fd.get()) != 0) {
                throw Error("No se puede guardar en disco el archivo \"" + shown(temp) +
                            "\": " + systemReason(errno));
            }
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
        if (::close(fd.release()) != 0) {
            ::unlink(temp.c_str());
            throw Error("No se puede cerrar el archivo \"" + shown(temp) + "\": " + systemReason(errno));
        }
    }
    if (beforeRename) beforeRename();
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        throw Error("No se puede reemplazar el archivo \"" + shown(target) + "\": " + systemReason(err));
    }
}

void flushFile(const fs::path& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0) {
        throw Error("No se puede guardar en disco el archivo \"" + shown(path) +
                    "\": " + systemReason(errno));
    }
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

}  // namespace formats
