// run_measured: runs one command, its output thrown away, and prints one line
//   WALL_MS CPU_MS PEAK_KB EXIT
// its wall time, its CPU time (user + system, all threads) and its peak resident memory.
//
// A process of its own because Linux hands a child the parent's high-water mark of resident
// memory over fork and exec: measured from the (large) benchmark process, every command would
// seem to need at least as much memory as the benchmark. Started from this small program the
// figure is the command's own.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: run_measured COMMAND [ARGS...]\n", stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        return 1;
    }
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        return 1;
    }
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    std::printf("%.3f %.3f %ld %d\n", wallMs, ms(usage.ru_utime) + ms(usage.ru_stime),
                usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128);
    return 0;
}
