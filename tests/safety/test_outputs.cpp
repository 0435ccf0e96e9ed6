// What keeps a user's folder whole: a file edited by hand is not replaced
// without --force, and an interrupt in the middle of writing leaves no
// temporary file behind.
#include <gtest/gtest.h>

#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "safety/interrupt.h"
#include "safety/outputs.h"
#include "support.h"
#include "safety/workdir.h"

namespace {

TEST(Outputs, AFileEditedByHandIsNotTheSearchs) {
    TempDir dir;
    const std::string path = dir.file("t.cs"), written = "     1.000     0.000     0.000     5.000\n     2.000     0.000     0.000     5.000\n";
    OutputRecord record;
    record.set(path, written);
    const struct {
        std::string text;
        bool own;
    } cases[] = {{written, true},
                 {"     2.000     0.000     0.000     5.000\n     1.000     0.000     0.000     5.000\n", true},  // ranked
                 {"     1.000     0.000     0.000     5.000\n     2.000     0.000     0.000     6.000\n", false},
                 {"     1.000     0.000     0.000     5.000\n", false}};
    for (const auto& c : cases) {
        write_text(path, c.text);
        OutputSet outputs(false, record);
        EXPECT_EQ(outputs.claim(path, "the candidate file", OutputSet::Owner::byRecord).ok(), c.own) << c.text;
    }
}

// The second file's temporary name is a pipe nobody reads, so the write
// waits there while the first temporary file is complete.
TEST(Outputs, AnInterruptWhileWritingLeavesNoTemporaryFile) {
    TempDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        install_interrupt_cleanup();
        OutputRecord record;
        OutputSet outputs(false, record);
        for (const char* name : {"a.cs", "b.cs"}) {
            (void)outputs.claim(dir.file(name), name, OutputSet::Owner::byRecord);
            outputs.fill(dir.file(name), "text\n");
        }
        ::mkfifo(temporary_name(dir.file("b.cs")).c_str(), 0600);
        (void)outputs.commit();
        ::_exit(0);
    }
    const std::string first = dir.file("a.cs." + std::to_string(child) + ".tmp");
    for (int wait = 0; wait < 500 && !(fs::exists(first) && fs::file_size(first) == 5); ++wait) ::usleep(10000);
    EXPECT_TRUE(fs::exists(first));
    ::usleep(300000);  // on to the pipe
    ::kill(child, SIGINT);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    EXPECT_TRUE(fs::is_empty(dir.path())) << fs::directory_iterator(dir.path())->path();
}

// Two runs in one folder: the second finds it taken, as does any other
// process asking for even a shared lock.
TEST(WorkLock, OneRunAtATime) {
    TempDir dir;
    WorkLock held, second;
    ASSERT_TRUE(lock_work_folder(dir.path().string(), held).ok());
    EXPECT_EQ(lock_work_folder(dir.path().string(), second).message,
              "[Error] Another noebundle or noebundle-search is working in '" + dir.path().string() + "'; wait until it ends");
    const int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_NE(::flock(fd, LOCK_SH | LOCK_NB), 0);
    ::close(fd);
}

}  // namespace
