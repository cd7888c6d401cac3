// The child the child-process tests run: does one thing a helper might do
// wrong, named by its first argument.
//
//   exit N          exits with status N
//   print OUT ERR   writes OUT to stdout and ERR to stderr
//   flood           writes 1 MB to stdout and to stderr, numbered lines
//   crash           dereferences a null pointer
//   hang            sleeps for ever
//   hang-as FILE    writes its process id to FILE, then sleeps for ever
//   silent-hang     closes stdout and stderr, then sleeps for ever
//   spin            burns processor time for ever
//   eat             allocates until allocation fails: exit 4
//   write FILE N    writes N bytes to FILE
//   fds             prints its open descriptors, one per line
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "exit" && argc > 2) return std::atoi(argv[2]);
  if (what == "print" && argc > 3) {
    std::fputs(argv[2], stdout);
    std::fputs(argv[3], stderr);
    return 0;
  }
  if (what == "flood") {
    for (int i = 0; i < 100000; ++i) {
      std::printf("out %06d\n", i);
      std::fprintf(stderr, "err %06d\n", i);
    }
    return 0;
  }
  if (what == "crash") {
    volatile int* nowhere = nullptr;
    return *nowhere;
  }
  if (what == "silent-hang") {
    ::close(STDOUT_FILENO);
    ::close(STDERR_FILENO);
  }
  if (what == "hang-as" && argc > 2) {
    if (std::FILE* file = std::fopen(argv[2], "w")) {
      std::fprintf(file, "%d\n", static_cast<int>(::getpid()));
      std::fclose(file);
    }
  }
  if (what == "hang" || what == "silent-hang" || what == "hang-as") {
    for (;;) ::pause();
  }
  if (what == "spin") {
    volatile unsigned long n = 0;
    for (;;) n = n + 1;
  }
  if (what == "eat") {
    std::vector<char*> blocks;
    try {
      for (;;) {
        blocks.push_back(new char[16 << 20]);
        std::memset(blocks.back(), 1, 16 << 20);
      }
    } catch (const std::bad_alloc&) {
      return 4;
    }
  }
  if (what == "write" && argc > 3) {
    std::FILE* file = std::fopen(argv[2], "wb");
    const std::string block(4096, 'x');
    for (long left = std::atol(argv[3]); file && left > 0; left -= 4096)
      std::fwrite(block.data(), 1, left < 4096 ? left : 4096, file);
    return file && std::fclose(file) == 0 ? 0 : 5;
  }
  if (what == "fds") {
    DIR* dir = ::opendir("/proc/self/fd");
    while (dirent* entry = dir ? ::readdir(dir) : nullptr)
      if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != ::dirfd(dir))
        std::printf("%s\n", entry->d_name);
    if (dir) ::closedir(dir);
    return 0;
  }
  std::fprintf(stderr, "unknown: %s\n", what.c_str());
  return 2;
}
