#pragma once
// Running the project's programs as processes in tests.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace tivolan::test {

// Starts tivolan-sim with `args` (a shell word list); returns its pid and
// the port it printed on its first line.
inline pid_t StartSim(const std::string& args, std::string& port) {
  int out[2];
  if (::pipe(out) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    ::execl("/bin/sh", "sh", "-c", ("exec " + std::string(TIVOLAN_SIM_PATH) + " " + args).c_str(), nullptr);
    ::_exit(127);
  }
  ::close(out[1]);
  char c;
  while (::read(out[0], &c, 1) == 1 && c != '\n') port += c;
  ::close(out[0]);
  return pid;
}

// Stops a process started above; returns its exit status.
inline int StopProcess(pid_t pid) {
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `program` with `args`, standard input from /dev/null, and collects
// both outputs. With `interruptAfter`, SIGINT is sent `delayMs` after that
// text has appeared on standard error (which is then read first), and
// `interrupts` times in all, each `delayMs` after the one before.
inline RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& interruptAfter = "", int delayMs = 0, int interrupts = 1) {
  int out[2], err[2];
  RunResult result;
  if (::pipe(out) != 0 || ::pipe(err) != 0) return result;
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int devnull = ::open("/dev/null", O_RDONLY);
    ::dup2(devnull, 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    ::close(out[0]);
    ::close(err[0]);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  if (!interruptAfter.empty()) {
    char c;
    while (result.err.find(interruptAfter) == std::string::npos && ::read(err[0], &c, 1) == 1) result.err += c;
    for (int i = 0; i < interrupts; ++i) {
      ::usleep(static_cast<useconds_t>(delayMs) * 1000);
      ::kill(pid, SIGINT);
    }
  }
  auto drain = [](int fd, std::string& into) {
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) into.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
  };
  // Standard error is small; read it after standard output.
  drain(out[0], result.out);
  drain(err[0], result.err);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace tivolan::test
