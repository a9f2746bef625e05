// The POSIX stand-in for WinExec("batch.bat", 5): a terminal window, started
// detached, in which our command interpreter runs the script. The program
// neither waits for it nor hears from it again; a start that cannot be made
// is not reported to the user, only in WinExec's result.

#include "platform/core/ProcessStart.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kw {

namespace {

namespace fs = std::filesystem;

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

struct ScriptCandidate {
    fs::path file;
    fs::file_time_type modified;
    bool exactCase = false;
};

bool IsBetter(const ScriptCandidate& candidate, const std::optional<ScriptCandidate>& best)
{
    if (!best)
        return true;
    if (candidate.modified != best->modified)
        return candidate.modified > best->modified;
    return candidate.exactCase && !best->exactCase;
}

// File names on Windows ignore case; here several names can match. The one
// written last wins: the build has just written "Batch.bat", and an older
// "batch.bat" beside it must not run in its place. At the same time the exact
// spelling wins.
std::optional<fs::path> FindScript(const std::string& commandLine, unsigned& error)
{
    const fs::path given(commandLine);
    const fs::path folder = given.has_parent_path() ? given.parent_path() : fs::path(".");
    const std::string name = given.filename().string();
    std::error_code failure;
    fs::directory_iterator entry(folder, failure);
    if (failure) {
        error = WINEXEC_PATH_NOT_FOUND;
        return std::nullopt;
    }
    std::optional<ScriptCandidate> best;
    for (; !failure && entry != fs::directory_iterator(); entry.increment(failure)) {
        const std::string entryName = entry->path().filename().string();
        std::error_code unreadable;
        if (!EqualsIgnoringCase(entryName, name) || !entry->is_regular_file(unreadable))
            continue;
        const ScriptCandidate candidate{entry->path(), entry->last_write_time(unreadable), entryName == name};
        if (!unreadable && IsBetter(candidate, best))
            best = candidate;
    }
    if (!best) {
        error = WINEXEC_FILE_NOT_FOUND;
        return std::nullopt;
    }
    return fs::absolute(best->file, failure).lexically_normal();
}

bool IsProgramFile(const fs::path& file)
{
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(file.c_str(), X_OK) == 0;
}

std::string SearchPath()
{
    if (const char* path = std::getenv("PATH"))
        return path;
    const std::size_t size = ::confstr(_CS_PATH, nullptr, 0);
    std::string folders(size, '\0');
    if (size > 0) {
        ::confstr(_CS_PATH, folders.data(), size);
        folders.resize(size - 1);
    }
    return folders;
}

std::optional<fs::path> FindOnPath(const std::string& name)
{
    const std::string list = SearchPath();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = list.find(':', start);
        const std::string folder = list.substr(start, end - start);
        const fs::path candidate = fs::path(folder.empty() ? "." : folder) / name;
        std::error_code ignored;
        if (IsProgramFile(candidate))
            return fs::absolute(candidate, ignored);
        if (end == std::string::npos)
            return std::nullopt;
        start = end + 1;
    }
}

// The terminal that Debian's alternatives choose, else plain xterm; both take
// "-T title -e program arguments...".
std::optional<fs::path> FindTerminal()
{
    for (const char* name : {"x-terminal-emulator", "xterm"}) {
        if (auto found = FindOnPath(name))
            return found;
    }
    return std::nullopt;
}

// Installed, the interpreter has a folder of its own, at a path the build
// gives from the program's folder (../libexec/kestrelwork); in the build
// folder it lies beside the program. The installed place is looked at first,
// so that a stray copy beside an installed program is never used instead.
std::optional<fs::path> FindInterpreter()
{
    std::error_code failure;
    const fs::path self = fs::read_symlink("/proc/self/exe", failure);
    if (failure)
        return std::nullopt;
    const fs::path folder = self.parent_path();
    for (const fs::path& candidate : {folder / KW_INTERPRETER_FROM_PROGRAM, folder}) {
        const fs::path interpreter = (candidate / "kestrelwork-cmd").lexically_normal();
        if (IsProgramFile(interpreter))
            return interpreter;
    }
    return std::nullopt;
}

// From here on the code runs in a child of a process that may have other
// threads: only async-signal-safe calls.

[[noreturn]] void ReportAndExit(int reportFd, int error)
{
    while (::write(reportFd, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

// Every descriptor above 2 closes when the terminal starts; the report pipe
// stays open until then, so that a failed exec can still be told.
void CloseInheritedOnExec(long maxFd)
{
#ifdef CLOSE_RANGE_CLOEXEC
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
#endif
    for (long fd = 3; fd < maxFd; ++fd)
        ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
}

// The terminal starts with nothing of the program's state: default signal
// handling, no blocked signals, no input from the program's own terminal.
void PrepareTerminalProcess(long maxFd)
{
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int number = 1; number < NSIG; ++number)
        std::signal(number, SIG_DFL);
    const int null = ::open("/dev/null", O_RDONLY);
    if (null > 0) {
        ::dup2(null, STDIN_FILENO);
        ::close(null);
    }
    CloseInheritedOnExec(maxFd);
}

// The intermediate child: leaves the program's session and starts the
// terminal as its own child, then ends at once, so the terminal belongs to no
// one that waits for it and can never take a controlling terminal.
[[noreturn]] void RunIntermediate(int reportFd, const char* terminal, char* const* argv, long maxFd)
{
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild < 0)
        ReportAndExit(reportFd, errno);
    if (grandchild > 0)
        ::_exit(0);
    PrepareTerminalProcess(maxFd);
    ::execv(terminal, argv);
    ReportAndExit(reportFd, errno);
}

// Owns one file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// Starts argv[0] detached; the intermediate child is reaped here at once. The
// report pipe tells whether the exec succeeded: it closes without a word when
// it did.
unsigned StartDetached(std::vector<std::string> words)
{
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const long maxFd = ::sysconf(_SC_OPEN_MAX);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return WINEXEC_FILE_NOT_FOUND;
    const FileDescriptor reader(pipeFds[0]);
    FileDescriptor writer(pipeFds[1]);

    const pid_t child = ::fork();
    if (child == 0)
        RunIntermediate(writer.Get(), argv[0], argv.data(), maxFd);
    writer.Close();
    if (child < 0)
        return WINEXEC_FILE_NOT_FOUND;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    while ((got = ::read(reader.Get(), &error, sizeof error)) < 0 && errno == EINTR) {
    }
    return got == 0 ? WINEXEC_STARTED : WINEXEC_FILE_NOT_FOUND;
}

// The command line is one file name: the program passes only a bare name.
// The window is always shown, whatever `showWindow` asks.
class PosixProcessStarter : public ProcessStarter {
public:
    unsigned WinExec(const std::string& commandLine, unsigned /*showWindow*/) override
    {
        unsigned error = WINEXEC_FILE_NOT_FOUND;
        const std::optional<fs::path> script = FindScript(commandLine, error);
        if (!script)
            return error;
        const std::optional<fs::path> terminal = FindTerminal();
        const std::optional<fs::path> interpreter = FindInterpreter();
        if (!terminal || !interpreter)
            return WINEXEC_FILE_NOT_FOUND;
        return StartDetached({terminal->string(), "-T", script->string(), "-e", interpreter->string(),
                              script->string()});
    }
};

} // namespace

ProcessStarter& SystemProcessStarter()
{
    static PosixProcessStarter starter;
    return starter;
}

} // namespace kw
