#include "reports/ftp_client_qt.h"

#include <curl/curl.h>

#include <cstdio>
#include <memory>

namespace kuzelna {
namespace {

CURL* easy(void* handle) {
    return static_cast<CURL*>(handle);
}

size_t discard(char*, size_t size, size_t count, void*) {
    return size * count;
}

void applySettings(CURL* curl, const FtpSettings& settings, char* errorBuffer) {
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.timeoutMs));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>((settings.timeoutMs + 999) / 1000));
    // A transfer that stalls for the time-out is given up too.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>((settings.timeoutMs + 999) / 1000));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
    if (!settings.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, settings.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, settings.password.c_str());
    }
}

void perform(CURL* curl, const char* errorBuffer, const std::string& what) {
    const CURLcode result = curl_easy_perform(curl);
    if (result != CURLE_OK) {
        const std::string reason = errorBuffer[0] ? errorBuffer : curl_easy_strerror(result);
        throw FtpError("FTP " + what + ": " + reason);
    }
}

} // namespace

FtpClient::FtpClient() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

FtpClient::~FtpClient() {
    disconnect();
    curl_global_cleanup();
}

std::string FtpClient::url(const std::string& path) const {
    return "ftp://" + settings_.host + ":" + std::to_string(settings_.port) + "/" + path;
}

void FtpClient::connect(const FtpSettings& settings) {
    disconnect();
    settings_ = settings;
    CURL* curl = curl_easy_init();
    if (!curl) throw FtpError("FTP connect: cannot create a session");
    char errorBuffer[CURL_ERROR_SIZE] = {};
    applySettings(curl, settings_, errorBuffer);
    // Logging in without a transfer leaves the control connection open in the
    // session for the uploads that follow.
    const std::string root = url("");
    curl_easy_setopt(curl, CURLOPT_URL, root.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    try {
        perform(curl, errorBuffer, "connect to " + settings_.host);
    } catch (...) {
        curl_easy_cleanup(curl);
        throw;
    }
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    handle_ = curl;
}

void FtpClient::upload(const std::string& localFile, const std::string& remotePath) {
    if (!handle_) throw FtpError("FTP upload: not connected");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(localFile.c_str(), "rbe"), &std::fclose);
    if (!file) throw FtpError("FTP upload: cannot open " + localFile);
    std::fseek(file.get(), 0, SEEK_END);
    const long size = std::ftell(file.get());
    std::fseek(file.get(), 0, SEEK_SET);

    CURL* curl = easy(handle_);
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const std::string target = url(remotePath);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_URL, target.c_str());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READDATA, file.get());
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size < 0 ? 0 : size));
    try {
        perform(curl, errorBuffer, "upload of " + localFile);
    } catch (...) {
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
        curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
        throw;
    }
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
}

void FtpClient::disconnect() {
    if (!handle_) return;
    curl_easy_cleanup(easy(handle_));
    handle_ = nullptr;
}

} // namespace kuzelna
