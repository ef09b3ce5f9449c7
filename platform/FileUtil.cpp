#include "FileUtil.h"

#include "TextConv.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool StatPath(const std::wstring& path, struct stat& st)
{
    return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0;
}

bool WriteAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string NativePath(const std::wstring& path) { return WideToUtf8(path); }

bool FileExists(const std::wstring& path)
{
    struct stat st {};
    return StatPath(path, st) && S_ISREG(st.st_mode);
}

bool FolderExists(const std::wstring& path)
{
    struct stat st {};
    return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool PathExists(const std::wstring& path)
{
    struct stat st {};
    return StatPath(path, st);
}

bool CreateFolder(const std::wstring& path)
{
    if (path.empty())
        return false;
    if (::mkdir(NativePath(path).c_str(), 0755) == 0)
        return true;
    return FolderExists(path);
}

bool CreateFolderTree(const std::wstring& path)
{
    if (path.empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(NativePath(path)), ec);
    return FolderExists(path);
}

int64_t FileSize(const std::wstring& path)
{
    struct stat st {};
    if (!StatPath(path, st) || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<int64_t>(st.st_size);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path)
{
    int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string data;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        data.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof(buffer));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

bool WriteFileAtomically(const std::wstring& path, std::string_view bytes)
{
    const std::wstring folder = FolderPart(path);
    const std::wstring temp = MakeTempFile(folder.empty() ? L"." : folder, L"." + FileNamePart(path) + L".");
    if (temp.empty())
        return false;
    const std::string tempNative = NativePath(temp);
    int fd = ::open(tempNative.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool ok = fd >= 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (fd >= 0)
        ok = (::close(fd) == 0) && ok;
    if (ok) {
        // Keep the permissions a plain new file would get.
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(tempNative.c_str(), 0666 & ~mask);
        ok = ::rename(tempNative.c_str(), NativePath(path).c_str()) == 0;
    }
    if (!ok) {
        int saved = errno;
        ::unlink(tempNative.c_str());
        errno = saved;
    }
    return ok;
}

bool RemoveFile(const std::wstring& path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool CopyFileTo(const std::wstring& from, const std::wstring& to, bool overwrite)
{
    if (IsSameFile(from, to))
        return true;  // copying a file onto itself would truncate it
    if (!overwrite && PathExists(to)) {
        errno = EEXIST;
        return false;
    }
    auto data = ReadWholeFile(from);
    if (!data)
        return false;
    return WriteFileAtomically(to, *data);
}

bool IsSameFile(const std::wstring& a, const std::wstring& b)
{
    struct stat sa {}, sb {};
    return StatPath(a, sa) && StatPath(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty())
        return name;
    std::wstring left = folder;
    while (left.size() > 1 && left.back() == L'/')
        left.pop_back();
    size_t start = 0;
    while (start < name.size() && name[start] == L'/')
        ++start;
    if (left == L"/")
        return left + name.substr(start);
    return left + L"/" + name.substr(start);
}

std::wstring FileNamePart(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderPart(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L'/');
    if (slash == std::wstring::npos)
        return {};
    return slash == 0 ? L"/" : path.substr(0, slash);
}

std::wstring ExtensionPart(const std::wstring& path)
{
    const std::wstring name = FileNamePart(path);
    const size_t dot = name.find_last_of(L'.');
    return (dot == std::wstring::npos || dot == 0) ? std::wstring() : name.substr(dot);
}

std::wstring StemPart(const std::wstring& path)
{
    const std::wstring name = FileNamePart(path);
    const size_t dot = name.find_last_of(L'.');
    return (dot == std::wstring::npos || dot == 0) ? name : name.substr(0, dot);
}

std::vector<std::wstring> ListFolder(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    DIR* dir = ::opendir(NativePath(folder).c_str());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        names.push_back(Utf8ToWide(entry->d_name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring GetTempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && tmp[0] == '/')
        return Utf8ToWide(tmp);
    return L"/tmp";
}

std::wstring MakeTempFile(const std::wstring& folder, const std::wstring& prefix)
{
    std::string pattern = NativePath(JoinPath(folder, prefix)) + "XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return {};
    ::close(fd);
    return Utf8ToWide(pattern);
}

std::wstring MakeTempFolder(const std::wstring& prefix)
{
    std::string pattern = NativePath(JoinPath(GetTempFolder(), prefix)) + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return {};
    return Utf8ToWide(pattern);
}

bool CreatePrivateFolder(const std::wstring& path)
{
    return CreateFolder(path) && ::chmod(NativePath(path).c_str(), 0700) == 0;
}

bool MakeFileOwnerOnly(const std::wstring& path) { return ::chmod(NativePath(path).c_str(), 0600) == 0; }

bool RemoveFolderTree(const std::wstring& folder)
{
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(NativePath(folder)), ec);
    return !ec;
}

std::wstring SystemErrorText(int error)
{
    char buffer[256];
    const char* text = strerror_r(error, buffer, sizeof(buffer));
    return AnsiToWide(text ? text : "unknown error");
}

}  // namespace platform
