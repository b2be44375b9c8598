#include "platform/win/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/win/error.h"
#include "platform/win/handles.h"
#include "platform/win/text.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::u16string View(const fs::path& path) {
    std::u16string text = Utf8ToUtf16(path.string());
    std::replace(text.begin(), text.end(), u'/', u'\\');
    return text;
}

fs::path Script(const rvtest::TempDir& dir, const std::string& name, const std::string& body,
                mode_t mode = 0755) {
    fs::path path = dir.Write(name, "#!/bin/sh\n" + body + "\n");
    chmod(path.c_str(), mode);
    return path;
}

// The launcher's request.
SHELLEXECUTEINFO Request(const std::u16string& file) {
    SHELLEXECUTEINFO info{};
    info.cbSize = SHELLEXECUTEINFO_TERMINAL_SIZE;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = u"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    info.hProcess = INVALID_HANDLE_VALUE;  // must be reset either way
    return info;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The child runs until the test lets it go through a pipe of the file system, so every wait
// before that must time out, and two waiters both see its end. It gets no descriptor of ours
// beyond 0, 1 and 2 (the tool holds its serial ports meanwhile).
TEST(ShellExecuteEx, StartsTheFileWhoseHandleIsSignaledWhenItEnds) {
    rvtest::TempDir dir;
    const fs::path go = dir.path() / "go";
    ASSERT_EQ(mkfifo(go.c_str(), 0600), 0);
    const std::u16string file =
        View(Script(dir, "child.sh",
                    "cd '" + dir.path().string() + "'\n" +
                        "for n in 0 1 2 77; do [ -e /proc/$$/fd/$n ] && echo $n; done > fds.txt\n"
                        "read word < go; echo \"$word\" > done.txt"));
    const int fd = open(dir.Write("open.txt", "x").c_str(), O_RDONLY);  // no close-on-exec
    ASSERT_EQ(dup2(fd, 77), 77);
    SHELLEXECUTEINFO info = Request(file);
    const BOOL launched = ShellExecuteEx(&info);
    close(77);
    close(fd);
    ASSERT_TRUE(launched);
    ASSERT_NE(info.hProcess, nullptr);
    DWORD other = WAIT_FAILED;
    std::thread waiter([&] { other = WaitForSingleObject(info.hProcess, INFINITE); });
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 100), WAIT_TIMEOUT);

    std::ofstream(go) << "ended\n";  // opening waits for the child's read
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    waiter.join();
    EXPECT_EQ(other, WAIT_OBJECT_0);
    EXPECT_EQ(Read(dir.path() / "done.txt"), "ended\n");
    EXPECT_EQ(Read(dir.path() / "fds.txt"), "0\n1\n2\n");
    EXPECT_TRUE(CloseHandle(info.hProcess));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_FAILED);
}

TEST(ShellExecuteEx, FilesThatCannotRunStartNoProcess) {
    rvtest::TempDir dir;
    const std::pair<fs::path, DWORD> cases[] = {
        {dir.path() / "missing.exe", ERROR_FILE_NOT_FOUND},
        {Script(dir, "plain.sh", "exit 0", 0644), ERROR_ACCESS_DENIED},
        {dir.Write("broken.exe", "\177ELF, cut short"), ERROR_BAD_EXE_FORMAT},
        {dir.path(), ERROR_ACCESS_DENIED},
    };
    chmod((dir.path() / "broken.exe").c_str(), 0755);
    for (const auto& [path, error] : cases) {
        SCOPED_TRACE(path.string());
        const std::u16string file = View(path);
        SHELLEXECUTEINFO info = Request(file);
        EXPECT_FALSE(ShellExecuteEx(&info));
        EXPECT_EQ(GetLastError(), error);
        EXPECT_EQ(info.hProcess, nullptr);
    }
}

}  // namespace
