#include "platform/console/CommandInterpreter.h"

#include "platform/console/CommandLine.h"
#include "platform/posix/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace kw {

namespace {

void WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;  // the terminal is gone; nobody is left to tell
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

void Print(std::string_view text)
{
    WriteAll(STDOUT_FILENO, text);
}

void PrintError(std::string_view text)
{
    WriteAll(STDERR_FILENO, text);
}

// A script started with a standard descriptor closed would otherwise have its
// own files land on 0, 1 or 2: pause would then read the script and the
// programs would write into whatever was opened last.
void EnsureStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int opened = ::open("/dev/null", O_RDWR);
            if (opened >= 0 && opened != fd)
                ::close(opened);
        }
    }
}

// Ctrl+C stops the program the script is running, not the script: the script
// goes on to its pause and the window stays open with the compiler's messages,
// as the Windows interpreter asks first before it ends a batch job. Programs
// get the default handling back when they start.
void IgnoreInterrupts()
{
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGQUIT, SIG_IGN);
}

bool ReadScript(const std::string& path, std::string& bytes)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        PrintError("kestrelwork-cmd: cannot open " + path + ": " + std::strerror(errno) + "\n");
        return false;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            PrintError("kestrelwork-cmd: cannot read " + path + ": " + std::strerror(errno) + "\n");
            return false;
        }
        if (got == 0)
            return true;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

// The prompt is the current directory followed by ">", as the Windows
// interpreter shows it; when the directory is gone, ">" alone.
std::string Prompt()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return (error ? std::string() : folder.string()) + ">";
}

std::string StandardProgramFolders()
{
    const std::size_t size = ::confstr(_CS_PATH, nullptr, 0);
    if (size == 0)
        return {};
    std::string folders(size, '\0');
    ::confstr(_CS_PATH, folders.data(), size);
    folders.resize(size - 1);
    return folders;
}

// The script names the cross-compiler's folder only; the standard folders
// follow it so that a compiler driver still finds its assembler and linker.
void SetPath(const std::string& value)
{
    const std::string standard = StandardProgramFolders();
    const std::string path = value.empty() ? standard : standard.empty() ? value : value + ":" + standard;
    ::setenv("PATH", path.c_str(), 1);
}

void ShowPath()
{
    const char* path = std::getenv("PATH");
    Print(std::string("PATH=") + (path ? path : "") + "\n");
}

// Raw input on a terminal for the lifetime of the object: one key, no Enter,
// no echo. Keys typed before the prompt are dropped, so that a key pressed
// while the compiler ran does not close the window before its messages are
// read. Ctrl+C counts as a key here, which keeps the terminal's settings
// always restored.
class RawTerminalInput {
public:
    RawTerminalInput()
    {
        if (!::isatty(STDIN_FILENO) || ::tcgetattr(STDIN_FILENO, &saved_) != 0)
            return;
        termios raw = saved_;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG | IEXTEN));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0;
    }
    ~RawTerminalInput()
    {
        if (active_)
            ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
    }
    RawTerminalInput(const RawTerminalInput&) = delete;
    RawTerminalInput& operator=(const RawTerminalInput&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

// Reads exactly one byte, so that what follows stays for the next program.
void ReadOneByte()
{
    char key = 0;
    while (::read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
    }
}

// The terminal is raw before the prompt shows, so a key pressed once it is
// seen always counts.
void Pause()
{
    {
        const RawTerminalInput raw;
        Print("Press any key to continue . . . ");
        ReadOneByte();
    }
    Print("\n");
}

bool IsProgramFile(const std::string& file)
{
    struct stat info {};
    return !file.empty() && ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(file.c_str(), X_OK) == 0;
}

bool EndsWithExe(const std::string& file)
{
    constexpr std::string_view exe = ".exe";
    if (file.size() < exe.size())
        return false;
    return std::equal(exe.begin(), exe.end(), file.end() - static_cast<std::ptrdiff_t>(exe.size()),
                      [](char e, char c) { return e == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
}

std::optional<std::string> FindAsWrittenOrWithoutExe(const std::string& file)
{
    if (IsProgramFile(file))
        return file;
    if (EndsWithExe(file)) {
        const std::string bare = file.substr(0, file.size() - 4);
        if (IsProgramFile(bare))
            return bare;
    }
    return std::nullopt;
}

std::vector<std::string> SearchFolders()
{
    const char* path = std::getenv("PATH");
    const std::string list = path ? path : StandardProgramFolders();
    std::vector<std::string> folders;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = list.find(':', start);
        folders.push_back(list.substr(start, end - start));
        if (end == std::string::npos)
            return folders;
        start = end + 1;
    }
}

std::optional<std::string> FindProgram(std::string word)
{
    std::replace(word.begin(), word.end(), '\\', '/');
    if (word.find('/') != std::string::npos)
        return FindAsWrittenOrWithoutExe(word);
    for (const std::string& folder : SearchFolders()) {
        // An empty entry is the current directory, as POSIX has it.
        if (auto found = FindAsWrittenOrWithoutExe(folder.empty() ? word : folder + "/" + word))
            return found;
    }
    return std::nullopt;
}

// Owns the attributes that give a started program the default handling of
// the signals the interpreter ignores, and an empty signal mask.
class SpawnAttributes {
public:
    SpawnAttributes()
    {
        ::posix_spawnattr_init(&attributes_);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGQUIT);
        ::posix_spawnattr_setsigdefault(&attributes_, &defaults);
        sigset_t mask;
        sigemptyset(&mask);
        ::posix_spawnattr_setsigmask(&attributes_, &mask);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    const posix_spawnattr_t* Get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

// Runs the program in this terminal and waits for it; its exit status does
// not matter to the script, which has no test of any line's result.
void RunAndWait(const std::string& file, const std::vector<std::string>& arguments)
{
    std::vector<std::string> words{file};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const SpawnAttributes attributes;
    pid_t child = 0;
    const int error = ::posix_spawn(&child, file.c_str(), nullptr, attributes.Get(), argv.data(), environ);
    if (error != 0) {
        PrintError("'" + file + "' could not be started: " + std::strerror(error) + "\n");
        return;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

void RunProgram(const ProgramCall& call)
{
    const std::optional<std::string> file = FindProgram(call.program);
    if (!file) {
        PrintError("'" + call.program + "' is not recognized as an internal or external command,\n"
                   "operable program or batch file.\n");
        return;
    }
    RunAndWait(*file, call.arguments);
}

// Built by appending in order: writing it as "\n" + Prompt() + ... would
// insert at the front of the prompt's string, and GCC 12 at -O3 then warns
// of an overlapping copy that cannot happen (-Wrestrict).
std::string EchoedLine(const std::string& line)
{
    std::string echoed = "\n";
    echoed += Prompt();
    echoed += line;
    echoed += '\n';
    return echoed;
}

void RunLine(const std::string& line)
{
    const ScriptCommand command = ParseScriptLine(line);
    // With echo on, the interpreter shows every line after a blank line and
    // the prompt; empty and blank-only lines show nothing.
    if (command.echo)
        Print(EchoedLine(line));
    switch (command.kind) {
    case ScriptCommand::Kind::Nothing:
        break;
    case ScriptCommand::Kind::SetPath:
        SetPath(command.pathValue);
        break;
    case ScriptCommand::Kind::ShowPath:
        ShowPath();
        break;
    case ScriptCommand::Kind::Pause:
        Pause();
        break;
    case ScriptCommand::Kind::Run:
        RunProgram(command.call);
        break;
    }
}

} // namespace

int RunScriptFile(const std::string& scriptPath)
{
    EnsureStandardDescriptors();
    IgnoreInterrupts();
    std::string bytes;
    if (!ReadScript(scriptPath, bytes))
        return 1;
    for (const std::string& line : SplitScriptLines(bytes))
        RunLine(line);
    return 0;
}

} // namespace kw
