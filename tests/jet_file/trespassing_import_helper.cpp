// The import helper with a trespass: once its sandbox holds and before it
// reads the Jet file, it tries the one forbidden thing its first argument
// names, so that a test can watch the sandbox refuse it.
//
//   korvane_jet_import_trespassing WHAT JETFILE TARGET DISPLAYNAME
//
//   read:FILE      reads a byte of FILE
//   write:FILE     opens FILE to append to it, making it when missing
//   connect:PORT   connects to 127.0.0.1:PORT by TCP
//   exec:PROGRAM   runs PROGRAM in its place
//   trace-parent   attaches to its parent as a debugger
//
// A refused attempt fails the import with 3343 and the system's reason. One
// that gets through leaves no trace of itself and lets the import go on, so
// the test sees an import that should have failed.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "jet_file/jet_import_process.h"
#include "sqlite/jet_errors.h"

namespace {

using korvane::jeterr::kNotADatabase;

std::string displayName;

[[noreturn]] void refused(const std::string& attempt) {
  korvane::raiseJet(kNotADatabase, displayName, attempt + " failed: " + std::strerror(errno));
}

void readFile(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDONLY);
  char byte;
  if (fd < 0 || ::read(fd, &byte, 1) != 1) refused("reading " + file);
  ::close(fd);
}

void writeFile(const std::string& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
  if (fd < 0) refused("writing " + file);
  ::close(fd);
}

void connectTo(const std::string& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) refused("making a socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(port.c_str())));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    refused("connecting to 127.0.0.1:" + port);
  ::close(fd);
}

void run(const std::string& program) {
  char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
  ::execv(program.c_str(), argv);
  refused("running " + program);
}

// Seizing does not stop the parent; detaching at once leaves it as it was.
void traceParent() {
  const pid_t parent = ::getppid();
  if (::ptrace(PTRACE_SEIZE, parent, nullptr, nullptr) != 0) refused("tracing the parent");
  ::ptrace(PTRACE_DETACH, parent, nullptr, nullptr);
}

void trespass(const std::string& what) {
  const size_t colon = what.find(':');
  const std::string kind = what.substr(0, colon);
  const std::string object = colon == std::string::npos ? "" : what.substr(colon + 1);
  if (kind == "read") readFile(object);
  if (kind == "write") writeFile(object);
  if (kind == "connect") connectTo(object);
  if (kind == "exec") run(object);
  if (kind == "trace-parent") traceParent();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  const std::string what = argv[1];
  displayName = argv[4];
  argv[1] = argv[0];
  return korvane::jetfile::jetImportHelperMain(argc - 1, argv + 1, [&] { trespass(what); });
}
