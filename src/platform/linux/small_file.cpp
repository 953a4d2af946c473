#include "platform/linux/small_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool read_small_file(const std::string& path, std::string& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[4096];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        ok = n == 0;
        break;
    }
    ::close(fd);
    return ok;
}
