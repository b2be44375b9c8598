#include "platform/win/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/win/error.h"
#include "platform/win/find.h"
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

SHELLEXECUTEINFO Request(const std::u16string& file, DWORD mask = SEE_MASK_NOCLOSEPROCESS) {
    SHELLEXECUTEINFO info{};
    info.cbSize = SHELLEXECUTEINFO_TERMINAL_SIZE;
    info.fMask = mask;
    info.lpVerb = u"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOW;
    info.hProcess = INVALID_HANDLE_VALUE;  // must be reset either way
    return info;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Polls for the condition for up to 5 s.
template <class Condition>
bool Eventually(Condition condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// A child written "echo $$ > pid" reports its pid once the line is complete.
pid_t PidFrom(const fs::path& file) {
    EXPECT_TRUE(Eventually([&] { return Read(file).ends_with('\n'); }));
    return static_cast<pid_t>(std::stol(Read(file)));
}

bool IsZombie(pid_t pid) {
    const std::string stat = Read("/proc/" + std::to_string(pid) + "/stat");
    const size_t end = stat.rfind(") ");
    return end != std::string::npos && stat[end + 2] == 'Z';
}

DWORD ExitCode(HANDLE process) {
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(process, &code));
    return code;
}

TEST(ShellExecuteEx, WaitsForTheProgramAndReportsItsExitCode) {
    rvtest::TempDir dir;
    const fs::path marker = dir.path() / "marker";
    const std::u16string file =
        View(Script(dir, "slow.sh", "sleep 0.3; echo done > '" + marker.string() + "'; exit 7"));
    SHELLEXECUTEINFO info = Request(file);
    ASSERT_TRUE(ShellExecuteEx(&info));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(info.hInstApp), 33u);
    ASSERT_NE(info.hProcess, nullptr);
    EXPECT_EQ(ExitCode(info.hProcess), STILL_ACTIVE);

    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(Read(marker), "done\n");
    EXPECT_EQ(ExitCode(info.hProcess), 7u);
    EXPECT_TRUE(CloseHandle(info.hProcess));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_FAILED);
}

// What reaches the child: its parameters, lpDirectory as its folder, no descriptor beyond
// 0, 1 and 2; and a relative file name still means the caller's folder.
TEST(ShellExecuteEx, ChildGetsParametersFolderAndStandardDescriptorsOnly) {
    rvtest::TempDir dir;
    Script(dir, "probe.sh",
           "pwd -P > where.txt; for a in \"$@\"; do echo \"[$a]\"; done > args.txt\n"
           "for n in 0 1 2 77; do [ -e /proc/$$/fd/$n ] && echo $n; done > fds.txt");
    fs::create_directory(dir.path() / "work");
    const std::u16string work = View(dir.path() / "work") + u"\\";
    const int fd = open(dir.Write("open.txt", "x").c_str(), O_RDONLY);  // no close-on-exec
    ASSERT_EQ(dup2(fd, 77), 77);
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const std::u16string file = u"probe.sh";
    SHELLEXECUTEINFO info = Request(file);
    info.cbSize = sizeof(SHELLEXECUTEINFO);
    info.lpVerb = nullptr;
    info.lpParameters = u" one  \"two  words\" \"\" 应用\t";
    info.lpDirectory = work.c_str();
    const BOOL launched = ShellExecuteEx(&info);
    fs::current_path(before);
    close(77);
    close(fd);
    ASSERT_TRUE(launched);
    ASSERT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    CloseHandle(info.hProcess);
    EXPECT_EQ(Read(dir.path() / "work/args.txt"), "[one]\n[two  words]\n[]\n[应用]\n");
    EXPECT_EQ(Read(dir.path() / "work/where.txt"),
              fs::canonical(dir.path() / "work").string() + "\n");
    EXPECT_EQ(Read(dir.path() / "work/fds.txt"), "0\n1\n2\n");
}

TEST(ShellExecuteEx, FilesThatCannotRunStartNoProcess) {
    rvtest::TempDir dir;
    struct Case {
        fs::path file;
        DWORD error;
        std::uintptr_t instApp;
    };
    const Case cases[] = {
        {dir.path() / "missing.exe", ERROR_FILE_NOT_FOUND, 2},
        {Script(dir, "plain.sh", "exit 0", 0644), ERROR_ACCESS_DENIED, 5},
        {dir.Write("broken.exe", "\177ELF, cut short"), ERROR_BAD_EXE_FORMAT, 11},
        {dir.path(), ERROR_ACCESS_DENIED, 5},
    };
    chmod((dir.path() / "broken.exe").c_str(), 0755);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.string());
        const std::u16string file = View(c.file);
        SHELLEXECUTEINFO info = Request(file);
        EXPECT_FALSE(ShellExecuteEx(&info));
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(info.hProcess, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(info.hInstApp), c.instApp);
    }
}

TEST(ShellExecuteEx, RefusesMalformedRequests) {
    const std::u16string file = u"\\bin\\true";
    SHELLEXECUTEINFO info = Request(file);
    for (const DWORD size : {0u, 56u, 64u}) {
        info.cbSize = size;
        EXPECT_FALSE(ShellExecuteEx(&info));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    info.cbSize = SHELLEXECUTEINFO_TERMINAL_SIZE;
    info.lpVerb = u"print";
    EXPECT_FALSE(ShellExecuteEx(&info));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    info.lpDirectory = u"\\no\\such\\folder";
    info.lpVerb = u"OPEN";
    EXPECT_FALSE(ShellExecuteEx(&info));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(info.hProcess, nullptr);
    EXPECT_FALSE(ShellExecuteEx(nullptr));
}

TEST(WaitForSingleObject, TimesOutWhileTheChildRunsAndSeesItKilled) {
    rvtest::TempDir dir;
    const std::u16string file = View(
        Script(dir, "long.sh", "echo $$ > '" + (dir.path() / "pid").string() + "'; exec sleep 30"));
    SHELLEXECUTEINFO info = Request(file);
    ASSERT_TRUE(ShellExecuteEx(&info));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 100), WAIT_TIMEOUT);
    EXPECT_EQ(ExitCode(info.hProcess), STILL_ACTIVE);

    ASSERT_EQ(kill(PidFrom(dir.path() / "pid"), SIGTERM), 0);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCode(info.hProcess), 128u + SIGTERM);
    CloseHandle(info.hProcess);
}

TEST(WaitForSingleObject, FailsAtOnceForHandlesThatAreNoProcess) {
    rvtest::TempDir dir;
    const std::u16string path = View(dir.Write("file.txt", "x"));
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(path.c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    const auto start = std::chrono::steady_clock::now();
    for (const HANDLE handle : {HANDLE{}, INVALID_HANDLE_VALUE, find}) {
        SetLastError(0);
        EXPECT_EQ(WaitForSingleObject(handle, INFINITE), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        DWORD code = 0;
        EXPECT_FALSE(GetExitCodeProcess(handle, &code));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    FindClose(find);
}

TEST(WaitForSingleObject, TwoThreadsWaitingForOneChildBothReturn) {
    const std::u16string file = u"\\bin\\sh";
    SHELLEXECUTEINFO info = Request(file);
    info.lpParameters = u"-c \"sleep 0.3; exit 3\"";
    ASSERT_TRUE(ShellExecuteEx(&info));
    DWORD results[2] = {WAIT_FAILED, WAIT_FAILED};
    std::thread other([&] { results[1] = WaitForSingleObject(info.hProcess, 5000); });
    results[0] = WaitForSingleObject(info.hProcess, 5000);
    other.join();
    EXPECT_EQ(results[0], WAIT_OBJECT_0);
    EXPECT_EQ(results[1], WAIT_OBJECT_0);
    EXPECT_EQ(ExitCode(info.hProcess), 3u);
    CloseHandle(info.hProcess);
}

// Children nobody waits for must not stay zombies: the next call of the module reaps them.
TEST(WaitForSingleObject, ChildrenWithoutAWaiterAreReaped) {
    rvtest::TempDir dir;
    const auto script = [&](const std::string& name) {
        const std::string pidFile = (dir.path() / name).string();
        return View(Script(dir, name + ".sh", "echo $$ > '" + pidFile + "'; sleep 0.2"));
    };
    const std::u16string unwatched = script("unwatched");
    const std::u16string closed = script("closed");
    SHELLEXECUTEINFO info = Request(unwatched, 0);
    ASSERT_TRUE(ShellExecuteEx(&info));
    EXPECT_EQ(info.hProcess, nullptr);
    info = Request(closed);
    ASSERT_TRUE(ShellExecuteEx(&info));
    EXPECT_TRUE(CloseHandle(info.hProcess));  // while the child still runs
    const pid_t first = PidFrom(dir.path() / "unwatched");
    const pid_t second = PidFrom(dir.path() / "closed");
    ASSERT_TRUE(Eventually([&] { return IsZombie(first) && IsZombie(second); }));

    const std::u16string trueFile = u"\\bin\\true";
    info = Request(trueFile);
    ASSERT_TRUE(ShellExecuteEx(&info));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    CloseHandle(info.hProcess);
    for (const pid_t pid : {first, second}) {
        errno = 0;
        EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), -1) << pid << " was left for us to reap";
        EXPECT_EQ(errno, ECHILD);
    }
}

}  // namespace
