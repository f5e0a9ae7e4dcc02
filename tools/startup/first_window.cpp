// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and times it to its first window on screen, watching the
// X server's map events rather than polling, so the figure is exact:
//   first_window [--settle MS] PROGRAM [ARGS...]
// prints one line, "ms=WALL cpu_ms=CPU rss_kb=RSS hwm_kb=HWM window=NAME":
// the wall and CPU time from the start to the first top-level window mapped,
// and the resident memory MS milliseconds later (default 500), when the window
// has been drawn; then ends the program with SIGTERM. Run it on a server with
// no window manager (a bare Xvfb), where top-level windows are the root's.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A "Name:  value kB" line of /proc/PID/status.
long statusKb(pid_t pid, const char* name) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  const std::size_t n = std::strlen(name);
  while (std::getline(in, line))
    if (line.compare(0, n, name) == 0 && line[n] == ':') return std::atol(line.c_str() + n + 1);
  return -1;
}

// CPU time so far, in nanoseconds as the scheduler counts it, summed over
// the threads (the clock ticks of /proc/PID/stat are too coarse here).
double cpuMs(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double ns = 0;
  if (DIR* dir = opendir(tasks.c_str())) {
    while (const dirent* e = readdir(dir)) {
      if (e->d_name[0] == '.') continue;
      std::ifstream in(tasks + "/" + e->d_name + "/schedstat");
      double run = 0;
      if (in >> run) ns += run;
    }
    closedir(dir);
  }
  return ns / 1e6;
}

std::string windowName(Display* d, Window w) {
  char* name = nullptr;
  std::string result = "?";
  if (XFetchName(d, w, &name) && name) result = name;
  if (name) XFree(name);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  int settleMs = 500;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--settle") == 0) {
    settleMs = std::atoi(argv[2]);
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: first_window [--settle MS] PROGRAM [ARGS...]\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "first_window: no X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(d);
  XSelectInput(d, root, SubstructureNotifyMask);
  XSync(d, False);  // watching before the program starts

  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    close(ConnectionNumber(d));
    execvp(argv[first], argv + first);
    std::perror(argv[first]);
    _exit(127);
  }
  if (pid < 0) return 2;

  Window mapped = 0;
  Clock::time_point shown;
  const auto deadline = start + std::chrono::seconds(60);
  while (!mapped && Clock::now() < deadline) {
    if (!XPending(d)) {
      pollfd p{ConnectionNumber(d), POLLIN, 0};
      poll(&p, 1, 100);
      if (waitpid(pid, nullptr, WNOHANG) == pid) {
        std::fprintf(stderr, "first_window: %s ended before showing a window\n", argv[first]);
        return 1;
      }
      continue;
    }
    XEvent e;
    XNextEvent(d, &e);
    if (e.type == MapNotify && e.xmap.event == root && !e.xmap.override_redirect) {
      mapped = e.xmap.window;
      shown = Clock::now();
    }
  }
  if (!mapped) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::fprintf(stderr, "first_window: no window within 60 s\n");
    return 1;
  }
  const double cpu = cpuMs(pid);
  std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
  const long rss = statusKb(pid, "VmRSS"), hwm = statusKb(pid, "VmHWM");
  const std::string name = windowName(d, mapped);
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  const double ms = std::chrono::duration<double, std::milli>(shown - start).count();
  std::printf("ms=%.1f cpu_ms=%.1f rss_kb=%ld hwm_kb=%ld window=%s\n", ms, cpu, rss, hwm, name.c_str());
  return 0;
}
