#include "tools/packer/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *bytes = buffer.str();
    return !in.bad();
}

bool ReplaceFile(const std::string& path, const std::string& bytes) {
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool WriteFileUnder(const std::string& root, const std::string& relative, const std::string& bytes,
                    long long unixTime, std::string* error) {
    std::string path = root;
    size_t start = 0;
    for (size_t slash; (slash = relative.find('/', start)) != std::string::npos;
         start = slash + 1) {
        path += "/" + relative.substr(start, slash - start);
        struct stat st;
        if (lstat(path.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) {
                *error = "cannot write " + root + "/" + relative + ": " + path + " is no folder";
                return false;
            }
        } else if (mkdir(path.c_str(), 0777) != 0) {
            *error = "cannot make the folder " + path + ": " + std::strerror(errno);
            return false;
        }
    }
    path += "/" + relative.substr(start);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    bool written = WriteAll(fd, bytes);
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(unixTime);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    bool stamped = futimens(fd, times) == 0;
    if (close(fd) != 0) written = false;
    if (!written || !stamped) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
