#pragma once
// Another user for the cases that need one: an unprivileged account made for
// the tests, and a way to run a piece of a test as that user.

#include <grp.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

extern char** environ;

namespace qeltest {

struct TestUser {
    uid_t uid = 0;
    gid_t gid = 0;
};

// The account "qeltest", made when missing. Only root can make it and switch
// to it: otherwise there is none, and `whyNot` says so.
inline std::optional<TestUser> UnprivilegedUser(std::string& whyNot)
{
    if (::geteuid() != 0) {
        whyNot = "needs root, to make a user for the test and run as it";
        return std::nullopt;
    }
    // Two tests may make it at once: whoever loses still finds it afterwards.
    for (int attempt = 0; attempt < 2 && ::getpwnam("qeltest") == nullptr; ++attempt) {
        char* argv[] = {const_cast<char*>("useradd"),
                        const_cast<char*>("--system"),
                        const_cast<char*>("--no-create-home"),
                        const_cast<char*>("--shell"),
                        const_cast<char*>("/usr/sbin/nologin"),
                        const_cast<char*>("qeltest"),
                        nullptr};
        pid_t pid = 0;
        if (::posix_spawnp(&pid, "useradd", nullptr, nullptr, argv, environ) == 0) {
            int status = 0;
            ::waitpid(pid, &status, 0);
        }
    }
    const passwd* entry = ::getpwnam("qeltest");
    if (entry == nullptr) {
        whyNot = "useradd could not make the user qeltest";
        return std::nullopt;
    }
    return TestUser{entry->pw_uid, entry->pw_gid};
}

// Runs `attempt` in a child process as `user` and returns what it returned;
// without a user, as whoever runs the tests.
inline std::string RunAs(const std::optional<TestUser>& user, const std::function<std::string()>& attempt)
{
    if (!user)
        return attempt();
    int channel[2];
    if (::pipe(channel) != 0)
        return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const bool switched = ::setgroups(0, nullptr) == 0 && ::setgid(user->gid) == 0 && ::setuid(user->uid) == 0;
        const std::string result = switched ? attempt() : "setuid failed";
        if (::write(channel[1], result.data(), result.size()) < 0)
            ::_exit(2);
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[256];
    ssize_t got;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}

}  // namespace qeltest
