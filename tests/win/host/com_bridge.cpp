// com-bridge: the Linux side of the Windows suite under Wine. Wine opens
// \\.\COMn through the symbolic link $WINEPREFIX/dosdevices/comN, so a
// pseudo-terminal linked there is a serial port to a Windows program. The
// Windows tests connect over TCP (127.0.0.1) and ask, one session per
// connection, for
//   PTY         a pseudo-terminal whose device side the test plays:
//               SEND <hex>, RECV <count> <ms>, SETTINGS (the termios the
//               program set: iflag oflag cflag lflag speed), HOLD 1|0 (the
//               line stops taking bytes, as with CTS low), HANGUP (the device
//               side goes away);
//   SIM <args>  a tivolan-sim process with those arguments: LOG (the frames
//               it received, its --log file).
// The first reply names the port, "OK COM12"; every reply is one line, "OK
// ..." or "ERR ...". "PTY COM5" and "SIM COM5 <args>" ask for that number,
// setting aside Wine's own link of it meanwhile. The link, the
// pseudo-terminal or the simulator go away with the connection.
//   com-bridge --dosdevices DIR --sim PATH --work DIR
// prints the TCP port it listens on, then serves until SIGINT or SIGTERM.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> g_stop{false};
void OnSignal(int) { g_stop = true; }

std::string g_dosdevices;
std::string g_sim;
std::string g_work;
std::mutex g_linkMutex;  // COM numbers are taken one at a time

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const unsigned char b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

bool Unhex(const std::string& hex, std::string& out) {
  if (hex.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    char* end = nullptr;
    const std::string pair = hex.substr(i, 2);
    const long v = std::strtol(pair.c_str(), &end, 16);
    if (*end != '\0') return false;
    out += static_cast<char>(v);
  }
  return true;
}

class Session {
 public:
  explicit Session(int client) : client_(client) {}
  ~Session() { Cleanup(); }

  void Serve() {
    std::string line;
    while (ReadLine(line)) {
      if (!Reply(Handle(line))) break;
    }
  }

 private:
  std::string Handle(const std::string& line) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    if (verb == "PTY" || verb == "SIM") {
      if (!link_.empty()) return "ERR one port per connection";
      std::string rest = line.substr(3);
      int wanted = 0;
      std::string first;
      std::istringstream(rest) >> first;
      if (first.size() > 3 && first.rfind("COM", 0) == 0 && first.find_first_not_of("0123456789", 3) == std::string::npos) {
        wanted = std::stoi(first.substr(3));
        rest = rest.substr(rest.find(first) + first.size());
      }
      const std::string error = verb == "PTY" ? MakePty() : StartSim(rest);
      if (!error.empty()) return "ERR " + error;
      return wanted ? LinkAs(wanted) : Link();
    }
    if (link_.empty()) return "ERR no port yet: PTY or SIM first";
    if (verb == "SEND") {
      std::string hex, bytes;
      words >> hex;
      if (master_ < 0) return "ERR no device side";
      if (!Unhex(hex, bytes)) return "ERR not hex";
      for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::string("ERR write: ") + std::strerror(errno);
        done += static_cast<std::size_t>(n);
      }
      return "OK";
    }
    if (verb == "RECV") {
      std::size_t count = 0;
      int timeoutMs = 0;
      words >> count >> timeoutMs;
      if (master_ < 0) return "ERR no device side";
      return "OK " + Hex(Receive(count, timeoutMs));
    }
    if (verb == "SETTINGS") {
      termios t{};
      if (keeper_ < 0 || ::tcgetattr(keeper_, &t) != 0) return "ERR no settings";
      return "OK " + std::to_string(t.c_iflag) + " " + std::to_string(t.c_oflag) + " " + std::to_string(t.c_cflag) +
             " " + std::to_string(t.c_lflag) + " " + std::to_string(::cfgetospeed(&t));
    }
    if (verb == "HOLD") {
      int hold = 0;
      words >> hold;
      if (keeper_ < 0 || ::tcflow(keeper_, hold ? TCOOFF : TCOON) != 0) return "ERR cannot hold";
      return "OK";
    }
    if (verb == "HANGUP") {
      if (master_ >= 0) ::close(master_);
      master_ = -1;
      return "OK";
    }
    if (verb == "LOG") {
      std::ifstream in(log_, std::ios::binary);
      return "OK " + Hex(std::string(std::istreambuf_iterator<char>(in), {}));
    }
    return "ERR unknown command " + verb;
  }

  std::string MakePty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return "no pseudo-terminal";
    slave_ = ::ptsname(master_);
    // Held open so that the program's closes and reopens never hang up the
    // pair; also where the program's settings are read and the line held.
    keeper_ = ::open(slave_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    ::tcgetattr(master_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master_, TCSANOW, &t);
    return keeper_ < 0 ? "cannot open the slave" : "";
  }

  std::string StartSim(const std::string& args) {
    static std::atomic<int> serial{0};
    log_ = g_work + "/sim-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".log";
    std::vector<std::string> words{g_sim};
    std::istringstream split(args);
    for (std::string w; split >> w;) words.push_back(w);
    words.push_back("--log");
    words.push_back(log_);
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return "no pipe";
    simPid_ = ::fork();
    if (simPid_ == 0) {
      ::dup2(out[1], 1);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    simOut_ = out[0];
    char c;
    while (::read(simOut_, &c, 1) == 1 && c != '\n') slave_ += c;
    return slave_.rfind("/dev/", 0) == 0 ? "" : "tivolan-sim did not start";
  }

  std::string Link() {
    std::lock_guard lock(g_linkMutex);
    // COM1..COM9 are left to Wine's own mapping of the machine's ports.
    for (int n = 10; n < 256; ++n) {
      const std::string path = g_dosdevices + "/com" + std::to_string(n);
      if (::symlink(slave_.c_str(), path.c_str()) == 0) {
        link_ = path;
        return "OK COM" + std::to_string(n);
      }
      if (errno != EEXIST) return std::string("ERR link: ") + std::strerror(errno);
    }
    return "ERR no free COM number";
  }

  std::string LinkAs(int n) {
    std::lock_guard lock(g_linkMutex);
    const std::string path = g_dosdevices + "/com" + std::to_string(n);
    struct stat st{};
    if (::lstat(path.c_str(), &st) == 0) {
      aside_ = path + ".set-aside";
      if (::rename(path.c_str(), aside_.c_str()) != 0) return std::string("ERR set aside: ") + std::strerror(errno);
    }
    if (::symlink(slave_.c_str(), path.c_str()) != 0) return std::string("ERR link: ") + std::strerror(errno);
    link_ = path;
    return "OK COM" + std::to_string(n);
  }

  std::string Receive(std::size_t count, int timeoutMs) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < count) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
      if (left <= 0) break;
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

  bool ReadLine(std::string& line) {
    for (;;) {
      const std::size_t end = pending_.find('\n');
      if (end != std::string::npos) {
        line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return true;
      }
      pollfd p{client_, POLLIN, 0};
      if (::poll(&p, 1, 200) == 0) {
        if (g_stop) return false;
        continue;
      }
      char buffer[65536];
      const ssize_t n = ::recv(client_, buffer, sizeof buffer, 0);
      if (n <= 0) return false;
      pending_.append(buffer, static_cast<std::size_t>(n));
    }
  }

  bool Reply(const std::string& text) {
    const std::string out = text + "\n";
    for (std::size_t done = 0; done < out.size();) {
      const ssize_t n = ::send(client_, out.data() + done, out.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  void Cleanup() {
    if (!link_.empty()) ::unlink(link_.c_str());
    if (!aside_.empty()) ::rename(aside_.c_str(), link_.c_str());
    if (simPid_ > 0) {
      ::kill(simPid_, SIGTERM);
      ::waitpid(simPid_, nullptr, 0);
      ::unlink(log_.c_str());
    }
    for (const int fd : {simOut_, keeper_, master_, client_})
      if (fd >= 0) ::close(fd);
  }

  int client_;
  int master_ = -1;
  int keeper_ = -1;
  int simOut_ = -1;
  pid_t simPid_ = -1;
  std::string slave_;
  std::string link_;
  std::string aside_;  // Wine's own link of a number asked for, put back at the end
  std::string log_;
  std::string pending_;
};

int Usage() {
  std::fputs("usage: com-bridge --dosdevices DIR --sim PATH --work DIR\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--dosdevices") g_dosdevices = argv[i + 1];
    else if (option == "--sim") g_sim = argv[i + 1];
    else if (option == "--work") g_work = argv[i + 1];
    else return Usage();
  }
  if (g_dosdevices.empty() || g_sim.empty() || g_work.empty()) return Usage();

  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 16) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("com-bridge: listen");
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("%d\n", ntohs(address.sin_port));
  std::fflush(stdout);

  std::vector<std::thread> sessions;
  while (!g_stop) {
    pollfd p{listener, POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) continue;
    const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    const int noDelay = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    sessions.emplace_back([client] { Session(client).Serve(); });
  }
  // Each session sees the stop within its poll and removes its link.
  for (auto& s : sessions) s.join();
  ::close(listener);
  return 0;
}
