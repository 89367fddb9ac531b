#pragma once

// The FTP client of the overview window's hidden test buttons: connect (log in),
// upload a file, disconnect. Blocking calls on the user-interface thread, each
// bounded by the time-out. Built on libcurl.

#include <stdexcept>
#include <string>

namespace kuzelna {

class FtpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FtpSettings {
    std::string host;
    int port = 21;
    int timeoutMs = 5000;
    std::string user; // empty: anonymous login
    std::string password;
};

class FtpClient {
public:
    FtpClient();
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // Connects and logs in; throws FtpError with the reason when that fails.
    void connect(const FtpSettings& settings);
    // Uploads the local file to `remotePath` (relative to the login folder) over
    // the open connection; throws FtpError when not connected or on failure.
    void upload(const std::string& localFile, const std::string& remotePath);
    // Closes the connection; harmless when there is none.
    void disconnect();

    bool connected() const { return handle_ != nullptr; }

private:
    std::string url(const std::string& path) const;

    void* handle_ = nullptr; // CURL*
    FtpSettings settings_;
};

} // namespace kuzelna
