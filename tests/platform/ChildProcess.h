#pragma once
// Running part of a test in a child process: as another user, or under a
// resource limit, without changing the test program itself. GoogleTest
// assertions work inside as usual; their messages reach the log and the
// child's exit status says whether any failed.

#include <functional>
#include <optional>
#include <string>

namespace kw::test {

// 0 when the scenario ran without a failed assertion; otherwise non-zero
// (128 + the signal when the child was killed).
int RunInChild(const std::function<void()>& scenario);

// The same as the unprivileged user nobody (uid and gid 65534, no
// supplementary groups), which root alone can become. Tests need it because
// root passes every access(2) check.
int RunAsNobody(const std::function<void()>& scenario);
bool IsRoot();

// Sets, or with nullopt removes, an environment variable while alive.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    static void Set(const std::string& name, const std::optional<std::string>& value);

    std::string name_;
    std::optional<std::string> previous_;
};

} // namespace kw::test
