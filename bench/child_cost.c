/* Runs a program and prints what it cost, from the kernel's rusage of it alone.
 *
 *   child_cost OUT ERR PROGRAM [ARG...]
 *
 * PROGRAM's standard output goes to the file OUT, its standard error to ERR,
 * its standard input is /dev/null. Prints one line
 *   "cpu=SECONDS wall=SECONDS maxrss_kib=N exit=CODE"
 * (cpu = user + system time) and exits 0, or exits 1 when PROGRAM cannot be
 * started.
 *
 * Why a program of its own: the kernel keeps a process's peak RSS across
 * exec, and a child forked (or vforked) from a large parent such as the
 * Python driver would inherit that parent's peak. This small process forks
 * the program, so the figure is the program's own. */
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int redirect(const char* path, int target, int flags) {
  const int fd = open(path, flags, 0644);
  if (fd < 0) return -1;
  if (dup2(fd, target) < 0) return -1;
  close(fd);
  return 0;
}

static double seconds(struct timeval t) { return (double)t.tv_sec + (double)t.tv_usec / 1e6; }

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: child_cost OUT ERR PROGRAM [ARG...]\n");
    return 1;
  }
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = fork();
  if (pid < 0) {
    perror("child_cost: fork");
    return 1;
  }
  if (pid == 0) {
    if (redirect("/dev/null", 0, O_RDONLY) < 0 ||
        redirect(argv[1], 1, O_WRONLY | O_CREAT | O_TRUNC) < 0 ||
        redirect(argv[2], 2, O_WRONLY | O_CREAT | O_TRUNC) < 0) {
      _exit(126);
    }
    execv(argv[3], argv + 3);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) < 0) {
    perror("child_cost: wait4");
    return 1;
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double wall =
      (double)(end.tv_sec - start.tv_sec) + (double)(end.tv_nsec - start.tv_nsec) / 1e9;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (code == 127 || code == 126) {
    fprintf(stderr, "child_cost: cannot run %s\n", argv[3]);
    return 1;
  }
  printf("cpu=%.6f wall=%.6f maxrss_kib=%ld exit=%d\n",
         seconds(usage.ru_utime) + seconds(usage.ru_stime), wall, usage.ru_maxrss, code);
  return 0;
}
