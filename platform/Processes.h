#pragma once
// Other processes of this machine, through /proc. Only processes running the
// editor's own executable are ever signalled.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

uint32_t CurrentProcessId();
bool IsProcessAlive(uint32_t pid);
// The file name of the process's executable ("kelvane"), empty when unknown.
std::string ProcessExecutableName(uint32_t pid);
// Ids of the running processes whose executable has this file name, in /proc
// order, leaving out the current process.
std::vector<uint32_t> FindProcessesNamed(const std::string& executableName);
// SIGTERM, and SIGKILL when the process has not ended after waitMs. Refuses
// (false) a process whose executable is not `executableName`. True once the
// process is gone.
bool TerminateProcessNamed(uint32_t pid, const std::string& executableName, int waitMs);

}  // namespace platform
