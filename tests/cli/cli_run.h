// Runs tovimo-cli and captures its output and exit status.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace tovimo::test {

struct CliResult {
    int status = -1;
    std::string out;
};

// `shell` runs in the shell before the program (limits, for instance); with
// `withErrors` the error stream is captured after the output.
inline CliResult RunCli(const std::string& args, const std::string& env = "LC_ALL=C",
                        const std::string& shell = "", bool withErrors = false) {
    CliResult r;
    const std::string cmd = shell + (shell.empty() ? "" : "; ") + "env " + env + " " +
                            std::string(TOVIMO_CLI) + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        r.out.append(buf.data(), n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

} // namespace tovimo::test
