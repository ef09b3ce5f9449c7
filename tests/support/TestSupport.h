#pragma once
// Helpers for tests: temporary folders, environment overrides and file bytes.
#include <string>

namespace testsupport {

// A fresh folder under the system temporary folder, removed with everything
// in it when the object goes.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "kelvane-test-");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::wstring wpath() const;
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    std::wstring wfile(const std::string& name) const;

private:
    std::string m_path;
};

// Sets (or with nullptr unsets) an environment variable for the object's life.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_hadOld = false;
};

// Points HOME, XDG_DATA_HOME and XDG_DATA_DIRS at new folders inside a
// temporary folder, so per-user files start from nothing.
class FreshUserFolders {
public:
    FreshUserFolders();
    const TempDir& root() const { return m_root; }
    std::string dataHome() const { return m_root.file("data"); }
    std::string commonData() const { return m_root.file("common"); }

private:
    TempDir m_root;
    ScopedEnv m_home;
    ScopedEnv m_data;
    ScopedEnv m_dirs;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

// Builds a locale with a decimal comma in dir (localedef) and switches the
// process to it; false when the system cannot build one.
bool UseDecimalCommaLocale(const TempDir& dir);

// Path of a program built beside the tests (kelvane-cli and friends).
std::string BuiltProgram(const std::string& name);

// Runs a shell command; returns its exit code and fills output with what it
// printed on standard output (standard error goes to the test log).
int RunCommand(const std::string& command, std::string* output = nullptr);

}  // namespace testsupport
