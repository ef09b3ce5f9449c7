#include "HttpDownload.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <cstdio>
#include <curl/curl.h>
#include <filesystem>
#include <memory>
#include <mutex>

namespace {

constexpr long kConnectTimeoutSeconds = 30;
// A transfer that delivers nothing for this long is given up.
constexpr long kStalledSeconds = 60;
constexpr long kMaxRedirects = 5;

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlEasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlUrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Everything the callbacks share while one transfer runs.
struct Transfer {
    CURL* curl = nullptr;
    std::wstring tempFile;
    std::wstring localFile;
    std::unique_ptr<std::FILE, FileCloser> file;
    HWND progressWindow = nullptr;
    platform::CEvent* stopEvent = nullptr;
    long status = 0;
    curl_off_t contentLength = -1;
    curl_off_t received = 0;
    bool bodyStarted = false;
    bool refused = false;  // wrong status, no length, or no file: the transfer was aborted
    bool stopped = false;
    bool writeFailed = false;
};

bool StopRequested(Transfer& t, int waitMs)
{
    if (t.stopped)
        return true;
    if (t.stopEvent && t.stopEvent->Wait(waitMs))
        t.stopped = true;
    return t.stopped;
}

// Checks status and length once the first body bytes arrive, and opens the
// temporary file only then, so a refused answer leaves nothing behind.
bool BeginBody(Transfer& t)
{
    t.bodyStarted = true;
    curl_easy_getinfo(t.curl, CURLINFO_RESPONSE_CODE, &t.status);
    curl_easy_getinfo(t.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &t.contentLength);
    if (t.status != 200 || t.contentLength <= 0)
        return false;
    const std::wstring folder = platform::FolderPart(t.localFile);
    t.tempFile = platform::MakeTempFile(folder.empty() ? L"." : folder, L"." + platform::FileNamePart(t.localFile) + L".");
    if (t.tempFile.empty())
        return false;
    t.file.reset(std::fopen(platform::NativePath(t.tempFile).c_str(), "wb"));
    return t.file != nullptr;
}

void PostProgress(const Transfer& t)
{
    if (!t.progressWindow)
        return;
    const double fraction = static_cast<double>(t.received) / static_cast<double>(t.contentLength);
    const int percent = std::clamp(static_cast<int>(fraction * 100.0), 0, 100);
    PostMessage(t.progressWindow, WM_DOWNLOAD_PROGRESS, kDownloadProgressKind, percent);
}

// Returning anything but the full size aborts the transfer.
size_t OnBody(char* data, size_t size, size_t count, void* user)
{
    Transfer& t = *static_cast<Transfer*>(user);
    const size_t total = size * count;
    if (!t.bodyStarted && !BeginBody(t)) {
        t.refused = true;
        return 0;
    }
    if (t.refused)
        return 0;
    for (size_t offset = 0; offset < total; offset += kDownloadBlockBytes) {
        if (StopRequested(t, kDownloadBlockWaitMs))
            return 0;
        const size_t block = std::min<size_t>(kDownloadBlockBytes, total - offset);
        // More than the server announced is never written.
        if (t.received + static_cast<curl_off_t>(block) > t.contentLength) {
            t.writeFailed = true;
            return 0;
        }
        if (std::fwrite(data + offset, 1, block, t.file.get()) != block) {
            t.writeFailed = true;
            return 0;
        }
        t.received += static_cast<curl_off_t>(block);
        PostProgress(t);
    }
    return total;
}

// Called by libcurl about once a second and whenever data moves: lets the
// stop event end a transfer that is still connecting or waiting for data.
int OnTransferInfo(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return StopRequested(*static_cast<Transfer*>(user), 0) ? 1 : 0;
}

bool ConfigureRequest(CURL* curl, const std::string& url, curl_slist* headers, Transfer& t)
{
    bool ok = curl_easy_setopt(curl, CURLOPT_URL, url.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStalledSeconds) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(kDownloadBlockBytes)) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kelvane") == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnTransferInfo) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
    return ok;
}

// Closes the temporary file and moves it over the target when the body is
// complete; removes it otherwise.
bool FinishFile(Transfer& t, bool complete)
{
    if (t.file) {
        const bool closed = std::fclose(t.file.release()) == 0;
        complete = complete && closed;
    }
    if (t.tempFile.empty())
        return false;
    if (complete) {
        std::error_code error;
        std::filesystem::rename(platform::NativePath(t.tempFile), platform::NativePath(t.localFile), error);
        complete = !error;
    }
    if (!complete)
        platform::RemoveFile(t.tempFile);
    return complete;
}

}  // namespace

bool IsHttpAddress(const std::wstring& address)
{
    // The parser reads up to the first NUL; whatever follows it would pass unchecked.
    if (address.find(L'\0') != std::wstring::npos)
        return false;
    InitCurlOnce();
    std::unique_ptr<CURLU, CurlUrlDeleter> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, platform::WideToUtf8(address).c_str(), 0) != CURLUE_OK)
        return false;
    char* scheme = nullptr;
    char* host = nullptr;
    bool ok = curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK
        && curl_url_get(url.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK;
    ok = ok && (std::string_view(scheme) == "http" || std::string_view(scheme) == "https") && *host != '\0';
    curl_free(scheme);
    curl_free(host);
    return ok;
}

int DownloadToFile(const std::wstring& url, const std::wstring& localFile, HWND progressWindow, platform::CEvent* stopEvent)
{
    if (!IsHttpAddress(url) || localFile.empty())
        return kDownloadFailed;
    std::unique_ptr<CURL, CurlEasyDeleter> curl(curl_easy_init());
    if (!curl)
        return kDownloadFailed;
    // Always ask the server itself, never a cached copy.
    std::unique_ptr<curl_slist, CurlListDeleter> headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    // Appending to a list keeps its head; null means nothing was added.
    if (!headers || !curl_slist_append(headers.get(), "Pragma: no-cache"))
        return kDownloadFailed;

    Transfer t;
    t.curl = curl.get();
    t.localFile = localFile;
    t.progressWindow = progressWindow;
    t.stopEvent = stopEvent;
    if (!ConfigureRequest(curl.get(), platform::WideToUtf8(url), headers.get(), t))
        return kDownloadFailed;

    const CURLcode result = curl_easy_perform(curl.get());
    if (!t.bodyStarted) {
        // No body at all (an empty answer): judge status and length from the headers.
        curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &t.status);
        curl_easy_getinfo(curl.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &t.contentLength);
    }
    const bool answered = t.status != 0;
    const bool complete = result == CURLE_OK && !t.refused && !t.stopped && !t.writeFailed && t.file
        && t.received == t.contentLength;
    const bool stored = FinishFile(t, complete);
    if (answered && t.status != 200)
        return kDownloadHttpStatus;
    return stored ? kDownloadComplete : kDownloadFailed;
}
