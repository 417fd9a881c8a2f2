// Making disc images with xorriso.
#include "tools/writer/disc_image.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace zk::writer {

void write_disc_image(const std::string& dir, const std::string& volume_id, const std::string& image) {
#ifdef _WIN32
  (void)dir;
  (void)volume_id;
  (void)image;
  throw std::runtime_error("disc images are made with xorriso, which this build cannot run");
#else
  std::vector<std::string> args = {"xorriso", "-as",  "mkisofs", "-quiet", "-V", volume_id.substr(0, kVolumeIdMax),
                                   "-m",      ".windows-label", "-o", image, dir};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // xorriso's messages go to a log beside the image, shown only on failure.
  const std::string log = image + ".log";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, "xorriso", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    ::unlink(log.c_str());
    throw std::runtime_error("cannot run xorriso (install the Debian package xorriso)");
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  std::stringstream messages;
  messages << std::ifstream(log).rdbuf();
  ::unlink(log.c_str());
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("xorriso could not make " + image + ":\n" + messages.str());
#endif
}

}  // namespace zk::writer
