// Start-up of the main window, measured the way a user meets it: a fresh
// process from exec to the first paint of the window, and its peak memory.
// A bare QMainWindow of the same size is started the same way in the same run
// (alternating with the real one), so that the ratio leaves the display, the
// machine and Qt's own start-up out.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "StartupBench.h"
#include "link/UnitData.h"
#include "platform/Platform.h"
#include "platform/Settings.h"
#include "shell/ui/QtPollTimer.h"
#include "shell/ui/TApplication.h"
#include "shell/ui/UnitMain.h"

namespace tivolan::bench {
namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The child: one window, shown and painted once, then the process ends.
int Child(const char* kind, int argc, char** argv) {
  TApplication app(argc, argv);
  SharedData data;
  MemorySettingsStore settings;  // the user's settings stay untouched
  QtPollTimer pollTimer;
  TDataModule1 dataModule(CreateSystemSerialDevice(), &pollTimer);
  std::unique_ptr<QWidget> window;
  if (std::strcmp(kind, "window") == 0) {
    window = std::make_unique<TForm1>(FormServices{data, dataModule, settings, [] { return BuildPortList(); }});
  } else {
    auto bare = std::make_unique<QMainWindow>();
    bare->menuBar()->addMenu(QStringLiteral("&Файл"));
    bare->setFixedSize(kClientWidth, kClientHeight + bare->menuBar()->sizeHint().height());
    window = std::move(bare);
  }
  window->show();
  QCoreApplication::processEvents();
  window->repaint();
  // Start-up ends with the first paint; what closing costs is not measured.
  std::fflush(nullptr);
  std::_Exit(0);
}

struct Sample {
  double ms = 0;
  double maxRssKb = 0;
};

Sample Spawn(const char* self, const char* kind) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl(self, self, "startup-child", kind, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the %s start-up failed\n", kind);
    std::exit(1);
  }
  return {ms, static_cast<double>(usage.ru_maxrss)};
}

}  // namespace

int StartupBench(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[0], "startup-child") == 0) return Child(argv[1], argc, argv);
  // Without a display the offscreen platform stands in, for both alike.
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  char self[4096] = {};
  if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;
  std::vector<double> windowMs, bareMs, windowKb, bareKb;
  Spawn(self, "bare");  // the first start warms the file cache for both
  for (int i = 0; i < runs; ++i) {
    const Sample bare = Spawn(self, "bare");
    const Sample window = Spawn(self, "window");
    bareMs.push_back(bare.ms);
    bareKb.push_back(bare.maxRssKb);
    windowMs.push_back(window.ms);
    windowKb.push_back(window.maxRssKb);
  }
  const double tw = Median(windowMs), tb = Median(bareMs), mw = Median(windowKb), mb = Median(bareKb);
  std::printf("runs: %d, platform %s\n", runs, std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default");
  std::printf("start-up: window %6.1f ms   bare window %6.1f ms   x%.2f\n", tw, tb, tw / tb);
  std::printf("memory  : window %6.1f MB   bare window %6.1f MB   x%.2f\n", mw / 1024, mb / 1024, mw / mb);
  return 0;
}

}  // namespace tivolan::bench
