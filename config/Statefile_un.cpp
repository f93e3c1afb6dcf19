#include "Statefile_un.h"

#include "Newfile_un.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Heading =
    "# The memory register of the calculator, kept between sessions. Delete this file to "
    "forget it.\n";
constexpr std::string_view Key = "MEMORY=";
// The largest memory the calculator can hold, as its overflow check allows.
constexpr double MaxMemory = 9999999999.0;

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

void Say(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "tessel: the kept memory %s %s; the memory starts at 0\n", path.c_str(),
                 why.c_str());
}

} // namespace

std::string StateText(double memory) {
    // The shortest text that reads back as the same number, in any locale.
    char number[32];
    const auto end = std::to_chars(number, number + sizeof number, memory).ptr;
    return std::string(Heading) + std::string(Key) + std::string(number, end) + "\n";
}

bool ParseState(std::string_view text, double& memory, std::string& why) {
    if (text.size() > MaxStateBytes) {
        why = "is too long";
        return false;
    }
    bool found = false;
    double value = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') continue;
        if (found || !line.starts_with(Key)) {
            why = "is damaged";
            return false;
        }
        const std::string_view number = line.substr(Key.size());
        const auto [rest, error] =
            std::from_chars(number.data(), number.data() + number.size(), value);
        if (error != std::errc() || rest != number.data() + number.size() ||
            !std::isfinite(value) || std::fabs(value) > MaxMemory) {
            why = "is damaged";
            return false;
        }
        found = true;
    }
    if (!found) {
        why = "holds no memory";
        return false;
    }
    memory = value == 0 ? 0 : value; // no negative zero
    return true;
}

double ReadState(const std::string& path) {
    // Never through a link, and without waiting on a FIFO.
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            Say(path, errno == ELOOP ? "is a link"
                                     : std::string("can't be read: ") + std::strerror(errno));
        return 0;
    }
    struct stat st;
    std::string text;
    std::string why;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "is no file";
    } else {
        char buffer[MaxStateBytes + 1];
        std::size_t total = 0;
        for (ssize_t n;
             total < sizeof buffer && (n = read(fd, buffer + total, sizeof buffer - total)) != 0;) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                why = std::string("can't be read: ") + std::strerror(errno);
                break;
            }
            total += static_cast<std::size_t>(n);
        }
        text.assign(buffer, total);
    }
    close(fd);
    double memory = 0;
    if (why.empty() && ParseState(text, memory, why)) return memory;
    Say(path, why);
    return 0;
}

bool WriteState(const std::string& path, double memory) {
    std::string temporary;
    // The user's alone, as the folder it is kept in.
    bool written = WriteBeside(path, StateText(memory), 0600, temporary);
    int error = errno;
    // Whatever was in its place (a link, a damaged file) is replaced, a folder is not.
    if (written && rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
        unlink(temporary.c_str());
    }
    if (!written)
        std::fprintf(stderr, "tessel: can't keep the memory in %s: %s\n", path.c_str(),
                     std::strerror(error));
    return written;
}
