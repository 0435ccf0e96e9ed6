#include "base/text.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string cut(const std::string& line, std::size_t first, std::size_t width) {
    if (first >= line.size()) return std::string();
    return line.substr(first, width);
}

std::string trim_blanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string decimals(double value, int places) {
    const int n = std::snprintf(nullptr, 0, "%.*f", places, value);
    if (n < 0) return std::string();
    std::string text(n + 1, '\0');
    std::snprintf(&text[0], text.size(), "%.*f", places, value);
    text.resize(n);
    return text;
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

static std::string printf_fixed3(float value, int width) {
    char buffer[64];
    int n = std::snprintf(buffer, sizeof buffer, "%*.3f", width, static_cast<double>(value));
    if (n < 0) return std::string();
    if (n < static_cast<int>(sizeof buffer)) return std::string(buffer, n);
    std::string big(n + 1, '\0');  // values near FLT_MAX print 40 digits and more
    std::snprintf(&big[0], big.size(), "%*.3f", width, static_cast<double>(value));
    big.resize(n);
    return big;
}

// Writes the decimal digits of a backwards from end; returns the first character.
static char* digits_before(char* end, unsigned long long a) {
    do {
        *--end = static_cast<char>('0' + a % 10);
        a /= 10;
    } while (a != 0);
    return end;
}

// Copies [first, end) to p right-aligned in width; returns the end of the copy.
static char* put_right_aligned(char* p, const char* first, const char* end, int width) {
    const int length = static_cast<int>(end - first);
    for (int i = length; i < width; ++i) *p++ = ' ';
    std::memcpy(p, first, length);
    return p + length;
}

namespace {
// The whole part right-aligned in four characters, with or without a minus,
// and the point with the three decimals: each a 4-byte copy. Built by the
// compiler, so no program pays for it at startup.
struct Fixed3Tables {
    char whole[10000][4];
    char negative[1000][4];
    char fraction[1000][4];
    constexpr Fixed3Tables() : whole(), negative(), fraction() {
        for (int i = 0; i < 10000; ++i) {
            bool lead = true;  // blanks until the first nonzero digit; the units always shown
            for (int k = 0, unit = 1000; k < 4; ++k, unit /= 10) {
                const int digit = i / unit % 10;
                lead = lead && digit == 0 && k < 3;
                whole[i][k] = lead ? ' ' : static_cast<char>('0' + digit);
                if (i < 1000) negative[i][k] = whole[i][k];
            }
            if (i < 1000) {
                negative[i][i < 10 ? 2 : i < 100 ? 1 : 0] = '-';
                fraction[i][0] = '.';
                for (int k = 3, rest = i; k > 0; --k, rest /= 10) fraction[i][k] = static_cast<char>('0' + rest % 10);
            }
        }
    }
};
constexpr Fixed3Tables fixed3Tables;
}  // namespace

static inline bool fixed3_field(char* p, float value) {
    // Rounded exactly as llrint in put_fixed3 below: adding and subtracting
    // 1.5 * 2^52 leaves no bits below the units, so the sum rounds to the
    // nearest integer, ties to even, in the default rounding mode.
    const double scaled = static_cast<double>(value) * 1000.0;
    if (!(std::fabs(scaled) < 9999999.5)) return false;  // NaN too
    const double magic = 6755399441055744.0;
    const long long thousandths = static_cast<long long>((scaled + magic) - magic);  // kept: no -ffast-math
    const bool negative = std::signbit(value);
    const unsigned long long a = static_cast<unsigned long long>(negative ? -thousandths : thousandths);
    const unsigned long long whole = a / 1000;
    if (whole >= (negative ? 1000u : 10000u)) return false;
    const Fixed3Tables& t = fixed3Tables;
    std::memcpy(p, negative ? t.negative[whole] : t.whole[whole], 4);
    std::memcpy(p + 4, t.fraction[a % 1000], 4);
    return true;
}

bool put_fixed3_8(char* p, float value) { return fixed3_field(p, value); }

bool put_fixed3_8x3(char* p, float x, float y, float z) {
    return fixed3_field(p, x) && fixed3_field(p + 8, y) && fixed3_field(p + 16, z);
}

char* put_fixed3(char* p, float value, int width) {
    if (width == 8 && put_fixed3_8(p, value)) return p + 8;
    // A float times 1000 is exact in double, so rounding it to an integer
    // (ties to even, the default mode) rounds exactly as printf does.
    const double scaled = static_cast<double>(value) * 1000.0;
    if (!(std::fabs(scaled) < 1e15)) {
        const std::string text = printf_fixed3(value, width);
        std::memcpy(p, text.data(), text.size());
        return p + text.size();
    }
    const long long thousandths = std::llrint(scaled);
    const bool negative = std::signbit(value);  // printf keeps the sign of -0.0004
    unsigned long long a = negative ? 0ULL - static_cast<unsigned long long>(thousandths)
                                    : static_cast<unsigned long long>(thousandths);
    char buffer[24];
    char* end = buffer + sizeof buffer;
    unsigned fraction = static_cast<unsigned>(a % 1000);
    end[-1] = static_cast<char>('0' + fraction % 10);
    end[-2] = static_cast<char>('0' + fraction / 10 % 10);
    end[-3] = static_cast<char>('0' + fraction / 100);
    end[-4] = '.';
    char* first = digits_before(end - 4, a / 1000);
    if (negative) *--first = '-';
    return put_right_aligned(p, first, end, width);
}

char* put_padded(char* p, long value, int width) {
    char buffer[24];
    char* end = buffer + sizeof buffer;
    unsigned long a = value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    char* first = digits_before(end, a);
    if (value < 0) *--first = '-';
    return put_right_aligned(p, first, end, width);
}

// The text without padding, then the padding: any width is safe here.
static void append_padded_text(std::string& out, const char* first, const char* end, int width) {
    if (end - first < width) out.append(width - (end - first), ' ');
    out.append(first, end);
}

void append_fixed3(std::string& out, float value, int width) {
    char buffer[64];  // room for any float: FLT_MAX has 39 digits
    append_padded_text(out, buffer, put_fixed3(buffer, value, 0), width);
}

void append_padded(std::string& out, long value, int width) {
    char buffer[32];
    append_padded_text(out, buffer, put_padded(buffer, value, 0), width);
}

std::string fixed3(float value, int width) {
    std::string out;
    append_fixed3(out, value, width);
    return out;
}

std::string padded(long value, int width) {
    std::string out;
    append_padded(out, value, width);
    return out;
}

bool put_line(std::FILE* stream, const std::string& line) {
    const bool written = std::fwrite(line.data(), 1, line.size(), stream) == line.size() &&
                         std::fputc('\n', stream) != EOF;
    return std::fflush(stream) == 0 && written;
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

bool write_temporary_file(const std::string& path, const std::string& content, bool durable) {
    // The temporary name carries the process id, so two runs never share one.
    const std::string temp = path + "." + std::to_string(::getpid()) + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat original;
    if (::stat(path.c_str(), &original) == 0) ::fchmod(fd, original.st_mode & 07777);
    bool ok = write_all(fd, content);
    if (ok && durable) ok = ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

bool replace_file(const std::string& path, const std::string& content, bool durable) {
    if (!write_temporary_file(path, content, durable)) return false;
    const std::string temp = path + "." + std::to_string(::getpid()) + ".tmp";
    if (std::rename(temp.c_str(), path.c_str()) == 0) return true;
    std::remove(temp.c_str());
    return false;
}
