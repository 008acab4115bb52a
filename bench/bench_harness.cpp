#include "bench_harness.h"

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>

extern char** environ;

namespace qv::bench {

double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::optional<std::string> RunChild(const std::vector<std::string>& argv) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    // Qt's and Google Benchmark's chatter would break up the table; a failure shows as such.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string output;
    if (spawned == 0) {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
            output.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(pipeFds[0]);
    if (spawned != 0) {
        return std::nullopt;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return output;
}

namespace {

// A size line of /proc/self/status ("VmRSS:", "VmHWM:"), in bytes; 0 when it is missing.
uint64_t ProcessStatusBytes(std::string_view field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stoull(line.substr(field.size())) * 1024;
        }
    }
    return 0;
}

}  // namespace

uint64_t ResidentBytesResettingPeak() {
    // Memory the allocator keeps free is handed back first: what comes next would otherwise
    // reuse it without the resident size growing.
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    return ProcessStatusBytes("VmRSS:");
}

uint64_t PeakResidentBytes() {
    return ProcessStatusBytes("VmHWM:");
}

std::string ProgramFolder() {
    char path[4096];
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path - 1);
    if (size <= 0) {
        return ".";
    }
    std::string text(path, static_cast<std::size_t>(size));
    return text.substr(0, text.find_last_of('/'));
}

std::string Ms(double ms) {
    char text[32];
    if (ms < 0.001) {
        std::snprintf(text, sizeof text, "%.0f ns", ms * 1e6);
    } else if (ms < 0.1) {
        std::snprintf(text, sizeof text, "%.1f us", ms * 1e3);
    } else {
        std::snprintf(text, sizeof text, ms < 10 ? "%.2f ms" : "%.0f ms", ms);
    }
    return text;
}

std::string Megabytes(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

std::string WithCommas(int64_t n) {
    const std::string digits = std::to_string(n);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text;
}

namespace {

bool Met(const Figure& figure) {
    const bool ratioMet = !figure.maxRatio || (figure.ratio && *figure.ratio <= *figure.maxRatio);
    const bool timeMet = !figure.maxMs || (figure.ms && *figure.ms <= *figure.maxMs);
    return ratioMet && timeMet;
}

std::string Verdict(const Figure& figure) {
    if (!figure.note.empty()) {
        return figure.note;
    }
    std::string goal;
    char part[48];
    if (figure.maxRatio) {
        std::snprintf(part, sizeof part, "ratio <= %.3g", *figure.maxRatio);
        goal += part;
    }
    if (figure.maxMs) {
        std::snprintf(part, sizeof part, "%s< %.0f ms", goal.empty() ? "" : ", ", *figure.maxMs);
        goal += part;
    }
    if (goal.empty()) {
        return "";
    }
    return goal + (Met(figure) ? "  ok" : "  MISSED");
}

}  // namespace

int Report::Print() const {
    std::printf("%-24s %-17s %-22s %-34s %-12s %7s  %s\n", "figure", "table", "value", "floor",
                "floor value", "ratio", "goal");
    std::printf("%s\n", std::string(130, '-').c_str());
    int missed = 0;
    for (const Figure& figure : figures_) {
        char ratio[16] = "";
        if (figure.ratio) {
            std::snprintf(ratio, sizeof ratio, "%.2f", *figure.ratio);
        }
        std::printf("%-24s %-17s %-22s %-34s %-12s %7s  %s\n", figure.what.c_str(),
                    figure.size.c_str(), figure.value.c_str(), figure.floorName.c_str(),
                    figure.floorValue.c_str(), ratio, Verdict(figure).c_str());
        if (figure.note.empty() && !Met(figure)) {
            ++missed;
        }
    }
    std::printf("%s\n", std::string(130, '-').c_str());
    std::printf("%d goal(s) missed\n", missed);
    return missed;
}

}  // namespace qv::bench
