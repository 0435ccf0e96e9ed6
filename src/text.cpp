#include "text.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string cut(const std::string& line, std::size_t first, std::size_t width) {
    if (first >= line.size()) return std::string();
    return line.substr(first, width);
}

int to_int(const std::string& text) {
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

float to_float(const std::string& text) {
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

std::string fixed3(float value, int width) {
    char buffer[64];
    int n = std::snprintf(buffer, sizeof buffer, "%*.3f", width, static_cast<double>(value));
    if (n < 0) return std::string();
    if (n < static_cast<int>(sizeof buffer)) return std::string(buffer, n);
    std::string big(n + 1, '\0');  // values near FLT_MAX print 40 digits and more
    std::snprintf(&big[0], big.size(), "%*.3f", width, static_cast<double>(value));
    big.resize(n);
    return big;
}

std::string padded(long value, int width) {
    char buffer[32];
    int n = std::snprintf(buffer, sizeof buffer, "%*ld", width, value);
    return std::string(buffer, n);
}

bool open_input(std::ifstream& in, const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    in.open(path, std::ios::in | std::ios::binary);
    return in.is_open();
}

bool read_whole(const std::string& path, std::string& text) {
    std::ifstream in;
    if (!open_input(in, path)) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    text = buffer.str();
    return true;
}

static bool write_all(int fd, const std::string& content) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool replace_file(const std::string& path, const std::string& content, bool durable) {
    // The temporary name carries the process id, so two runs never share one.
    std::string temp = path + "." + std::to_string(::getpid()) + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat original;
    if (::stat(path.c_str(), &original) == 0) ::fchmod(fd, original.st_mode & 07777);
    bool ok = write_all(fd, content);
    if (ok && durable) ok = ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}
