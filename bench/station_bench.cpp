#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "StationBench.h"
#include "model/DefaultImages.h"
#include "model/Prompter.h"
#include "station/Station.h"

namespace tivolan::bench {
namespace {

// tivolan-sim processes beside this program, so that the process's CPU
// time is the station's alone.
class Sims {
 public:
  Sims(int count, const std::string& args) {
    const std::string sim = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tivolan-sim").string();
    for (int i = 0; i < count; ++i) {
      int out[2];
      if (::pipe(out) != 0) return;
      const pid_t pid = ::fork();
      if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::execl("/bin/sh", "sh", "-c", ("exec '" + sim + "' --log /dev/null " + args).c_str(), nullptr);
        ::_exit(127);
      }
      ::close(out[1]);
      std::string port;
      char c;
      while (::read(out[0], &c, 1) == 1 && c != '\n') port += c;
      ::close(out[0]);
      pids_.push_back(pid);
      ports.push_back({port, "", ""});
    }
  }
  ~Sims() {
    for (pid_t pid : pids_) ::kill(pid, SIGTERM);
    for (pid_t pid : pids_) ::waitpid(pid, nullptr, 0);
  }
  std::vector<station::StationPort> ports;

 private:
  std::vector<pid_t> pids_;
};

struct Quiet final : station::StationEvents {
  void PortChanged(const station::PortView&) override {}
  void PanelEnded(const station::JournalRow&) override {}
  void JournalFailed(const std::string&) override {}
};

double CpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

station::StationJob Job(std::vector<station::StationPort> ports, bool once) {
  station::StationJob job;
  SilentPrompter quiet;
  SetDefaultImage(job.image.ConfigBuffer, 1, quiet);
  job.ports = std::move(ports);
  job.once = once;
  return job;
}

struct Timing {
  double wallMs = 0, cpuMs = 0;
  int programmed = 0;
};

Timing Program(int panels) {
  Sims sims(panels, "");
  station::StationJob job = Job(sims.ports, true);
  Quiet events;
  station::StationControl control;
  const double cpu = CpuMs();
  const auto start = std::chrono::steady_clock::now();
  const station::StationResult result = station::RunStation(job, events, control);
  return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
          CpuMs() - cpu, result.programmed};
}

// Ports whose panel never comes, polled for `seconds`.
double IdlePercent(int ports, int seconds) {
  Sims sims(ports, "--present-after 86400000");
  station::StationJob job = Job(sims.ports, false);
  Quiet events;
  station::StationControl control;
  const double cpu = CpuMs();
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    control.stopTaking = true;
  });
  station::RunStation(job, events, control);
  stopper.join();
  return (CpuMs() - cpu) / (seconds * 1000.0) * 100.0 / ports;
}

}  // namespace

int StationBench(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1, 4, 16};
  for (int n : counts)
    if (n < 1 || n > 64) {
      std::fprintf(stderr, "tivolan-bench: station takes panel counts of 1 to 64\n");
      return 2;
    }
  const Timing one = Program(1);
  std::printf("station, type 1 panels, 9600 baud, --once\n");
  for (int n : counts) {
    const Timing t = n == 1 ? one : Program(n);
    std::printf("%2d panels: %7.1f ms, x%.2f of one, CPU %5.1f ms a panel, programmed %d\n", n, t.wallMs,
                t.wallMs / one.wallMs, t.cpuMs / n, t.programmed);
    if (t.programmed != n) return 1;
  }
  std::printf("idle port waiting for a panel: %.2f %% of a core (4 ports, 20 s)\n", IdlePercent(4, 20));
  return 0;
}

}  // namespace tivolan::bench
