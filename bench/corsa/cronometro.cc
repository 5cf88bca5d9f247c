// Runs one command as a process of its own and prints, on one line, what
// that process alone cost: CPU time (user + system) and wall time in
// microseconds, peak resident memory in kB, its exit status, then the user
// and the system CPU time apart, in microseconds. The
// command's own output goes to /dev/null. POSIX only, for bench/misura.sh.
// Usage: cronometro COMMAND [ARG...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s COMMAND [ARG...]\n", argv[0]);
    return 2;
  }
  const auto inizio = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    const int nulla = open("/dev/null", O_WRONLY);
    if (nulla >= 0) {
      dup2(nulla, STDOUT_FILENO);
      dup2(nulla, STDERR_FILENO);
    }
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int stato = 0;
  rusage uso{};
  if (wait4(pid, &stato, 0, &uso) != pid) return 2;
  const auto fine = std::chrono::steady_clock::now();
  const long long utente = uso.ru_utime.tv_sec * 1000000LL + uso.ru_utime.tv_usec;
  const long long sistema = uso.ru_stime.tv_sec * 1000000LL + uso.ru_stime.tv_usec;
  const long long cpu = utente + sistema;
  const long long parete = std::chrono::duration_cast<std::chrono::microseconds>(fine - inizio).count();
  std::printf("%lld %lld %ld %d %lld %lld\n", cpu, parete, uso.ru_maxrss, WIFEXITED(stato) ? WEXITSTATUS(stato) : 128,
              utente, sistema);
  return 0;
}
