#include "TestSupport.h"

#include "platform/TextConv.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

TempDir::TempDir(const std::string& prefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
    if (!mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot make a temporary folder";
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::wstring TempDir::wpath() const { return platform::Utf8ToWide(m_path); }
std::wstring TempDir::wfile(const std::string& name) const { return platform::Utf8ToWide(file(name)); }

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name)
{
    if (const char* old = std::getenv(name)) {
        m_old = old;
        m_hadOld = true;
    }
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
    if (m_hadOld)
        setenv(m_name.c_str(), m_old.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

FreshUserFolders::FreshUserFolders()
    : m_root("kelvane-home-"),
      m_home("HOME", m_root.file("home").c_str()),
      m_data("XDG_DATA_HOME", m_root.file("data").c_str()),
      m_dirs("XDG_DATA_DIRS", m_root.file("common").c_str())
{
    std::filesystem::create_directories(m_root.file("home"));
    std::filesystem::create_directories(m_root.file("data"));
    std::filesystem::create_directories(m_root.file("common"));
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

bool UseDecimalCommaLocale(const TempDir& dir)
{
    RunCommand("localedef -c -i de_DE -f ISO-8859-1 " + dir.file("de_DE.ISO-8859-1") + " >/dev/null 2>&1");
    if (!Exists(dir.file("de_DE.ISO-8859-1")))
        return false;
    setenv("LOCPATH", dir.path().c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.ISO-8859-1") != nullptr;
}

std::string BuiltProgram(const std::string& name) { return std::string(KELVANE_BINARY_DIR) + "/bin/" + name; }

int RunCommand(const std::string& command, std::string* output)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        text.append(buffer, n);
    int status = pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport
