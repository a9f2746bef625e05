#include "tests/platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <utility>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kw::test {

namespace {

constexpr int SetupFailed = 99;

[[noreturn]] void FinishChild(int status)
{
    std::cout.flush();
    std::fflush(nullptr);
    _exit(status);  // no destructors: the parent's temporary folders are not the child's to remove
}

int RunForked(const std::function<bool()>& setup, const std::function<void()>& scenario)
{
    std::cout.flush();
    std::fflush(nullptr);  // or buffered output would be written twice
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (!setup())
            FinishChild(SetupFailed);
        try {
            scenario();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "exception in the child: " << e.what();
        }
        FinishChild(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

int RunInChild(const std::function<void()>& scenario)
{
    return RunForked([] { return true; }, scenario);
}

int RunAsNobody(const std::function<void()>& scenario)
{
    return RunForked([] { return setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0; },
                     scenario);
}

bool IsRoot()
{
    return geteuid() == 0;
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name))
{
    if (const char* old = std::getenv(name_.c_str()))
        previous_ = old;
    Set(name_, value);
}

ScopedEnvironment::~ScopedEnvironment()
{
    Set(name_, previous_);
}

void ScopedEnvironment::Set(const std::string& name, const std::optional<std::string>& value)
{
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
}

} // namespace kw::test
