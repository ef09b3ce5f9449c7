#pragma once
// Other processes of this machine, through /proc. Only processes running the
// editor's own executable are ever signalled.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

uint32_t CurrentProcessId();
bool IsProcessAlive(uint32_t pid);
// The file name of the process's executable ("kelvane"), empty when unknown.
std::string ProcessExecutableName(uint32_t pid);
// Whether the process runs as the user running this one.
bool IsProcessOfCurrentUser(uint32_t pid);
// The values of the named variables in the environment the process was
// started with; variables it lacks are left out. Nothing when it cannot be
// read (another user's process, or one that is gone). Only the first
// kMaxEnvironmentBytes are read.
inline constexpr size_t kMaxEnvironmentBytes = 1024 * 1024;
std::optional<std::map<std::string, std::string>> ReadProcessEnvironment(uint32_t pid,
                                                                         const std::vector<std::string>& names);
// Ids of the running processes whose executable has this file name, in /proc
// order, leaving out the current process.
std::vector<uint32_t> FindProcessesNamed(const std::string& executableName);
// SIGTERM, and SIGKILL when the process has not ended after waitMs. Refuses
// (false) a process whose executable is not `executableName`. True once the
// process is gone.
bool TerminateProcessNamed(uint32_t pid, const std::string& executableName, int waitMs);

}  // namespace platform
