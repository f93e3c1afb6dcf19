#include "Newfile_un.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes the whole text; false on a failure (a full disk, a file size limit), with errno set.
bool WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool WriteBeside(const std::string& path, const std::string& text, mode_t mode,
                 std::string& temporary) {
    temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, mode & ~mask);
    bool written = WriteAll(fd, text) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && written) written = false, error = errno;
    if (!written) {
        unlink(temporary.c_str());
        errno = error;
    }
    return written;
}
