// Child processes of the benchmark and the RESULT lines between them.
#include "children.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace korvane::bench {

namespace {

std::string self() {
  return std::filesystem::read_symlink("/proc/self/exe").string();
}

}  // namespace

void fail(const std::string& what) {
  std::fprintf(stderr, "korvane-bench: %s\n", what.c_str());
  std::exit(1);
}

void runProgram(const std::vector<std::string>& argv, std::string* output) {
  int pipeFds[2] = {-1, -1};
  if (output && pipe(pipeFds) != 0) fail("pipe failed");
  const pid_t pid = fork();
  if (pid < 0) fail("fork failed");
  if (pid == 0) {
    if (output) {
      dup2(pipeFds[1], STDOUT_FILENO);
      close(pipeFds[0]);
      close(pipeFds[1]);
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  if (output) {
    close(pipeFds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) output->append(buffer, n);
    close(pipeFds[0]);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::string shown;
    for (const auto& a : argv) shown += a + " ";
    fail("failed: " + shown);
  }
}

std::string num(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", v);
  return buffer;
}

void report(const Values& values) {
  std::string line = "RESULT";
  for (const auto& [k, v] : values) line += " " + k + "=" + v;
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void addMeasured(Values& out, const std::string& key, const Measured& m) {
  out.emplace_back(key, num(m.seconds));
  out.emplace_back("user_" + key, num(m.user));
  out.emplace_back("sys_" + key, num(m.system));
  out.emplace_back("written_" + key, num(m.written));
  out.emplace_back("todisk_" + key, num(m.toDisk));
  out.emplace_back("copying_" + key, num(m.copySeconds));
  out.emplace_back("hwm_" + key, std::to_string(m.peakKib));
}

double ChildResult::number(const std::string& key) const {
  auto it = values.find(key);
  if (it == values.end()) fail("a child did not report " + key);
  return std::stod(it->second);
}

ChildResult runChild(const std::vector<std::string>& args) {
  sync();
  std::vector<std::string> argv = {self(), "--settle", num(settleSeconds)};
  argv.insert(argv.end(), args.begin(), args.end());
  std::string out;
  runProgram(argv, &out);
  std::istringstream lines(out);
  std::string line;
  ChildResult result;
  while (std::getline(lines, line)) {
    if (line.rfind("RESULT ", 0) != 0) continue;
    std::istringstream fields(line.substr(7));
    std::string field;
    while (fields >> field) {
      const auto eq = field.find('=');
      result.values[field.substr(0, eq)] = field.substr(eq + 1);
    }
  }
  if (result.values.empty()) fail("a child reported nothing: " + out);
  return result;
}

}  // namespace korvane::bench
