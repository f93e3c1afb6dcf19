// Runs a piece of work in a child process and tells how long it took and how much memory it
// took on top of what the process held when it began: a hang or a runaway allocation in it
// cannot take the test run with it (the child is ended after a time limit).
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

struct BoundedRun {
    bool finished = false; // within the limit, and the work said yes
    double milliseconds = 0;
    double growthMiB = 0; // peak resident memory above the process's at the start
};

inline long ResidentKiB() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

inline BoundedRun RunBounded(const std::function<bool()>& work, int limitSeconds = 10) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const long before = ResidentKiB();
        const bool ok = work();
        struct rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        const double growth = (usage.ru_maxrss - before) / 1024.0;
        (void)!write(fds[1], &growth, sizeof growth);
        _exit(ok ? 0 : 1);
    }
    close(fds[1]);
    BoundedRun run;
    int status = 0;
    for (int waited = 0;; waited += 10) {
        if (waitpid(child, &status, WNOHANG) == child) break;
        if (waited >= limitSeconds * 1000) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            close(fds[0]);
            run.milliseconds = waited;
            return run;
        }
        usleep(10000);
    }
    run.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (read(fds[0], &run.growthMiB, sizeof run.growthMiB) != sizeof run.growthMiB)
        run.growthMiB = -1;
    close(fds[0]);
    run.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}
