// The I/O floor of a run: loads the files a run wrote into memory, then
// times creating the same files with the same bytes, one write each.
//
// Usage: io_floor FROM_DIR TO_DIR NAME...
// Reads FROM_DIR/NAME for every NAME, then writes TO_DIR/NAME and prints the
// seconds the writing took.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string from = argv[1], to = argv[2];
    std::vector<std::string> paths, contents;
    for (int i = 3; i < argc; ++i) {
        paths.push_back(to + "/" + argv[i]);
        std::ifstream in(from + "/" + argv[i], std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        contents.push_back(text.str());
    }
    auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        int fd = ::open(paths[i].c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, contents[i].data(), contents[i].size()) != static_cast<ssize_t>(contents[i].size())) {
            std::perror(paths[i].c_str());
            return 1;
        }
        ::close(fd);
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.4f\n", took.count());
    return 0;
}
