#include "web/web_publisher_qt.h"

#include "web/web_limits.h"

#include <curl/curl.h>

#include <QMetaObject>

#include <cstring>

namespace kuzelna {
namespace {

struct Upload {
    const std::string* content;
    std::size_t offset = 0;
    const bool* quit;
    std::mutex* mutex;
};

size_t readContent(char* target, size_t size, size_t count, void* userData) {
    auto* upload = static_cast<Upload*>(userData);
    const std::size_t n = std::min(size * count, upload->content->size() - upload->offset);
    std::memcpy(target, upload->content->data() + upload->offset, n);
    upload->offset += n;
    return n;
}

size_t discard(char*, size_t size, size_t count, void*) {
    return size * count;
}

// Called by libcurl about once a second and on progress: the program is ending.
int checkQuit(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* upload = static_cast<Upload*>(userData);
    std::lock_guard lock(*upload->mutex);
    return *upload->quit ? 1 : 0;
}

// Uploads one file; the reason of a failure, empty on success.
std::string put(const PublishTarget& target, const std::string& name, const std::string& content,
                const bool& quit, std::mutex& mutex) {
    CURL* curl = curl_easy_init();
    if (!curl) return "libcurl cannot create a session";
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Upload upload{&content, 0, &quit, &mutex};
    const std::string url = WebPublisher::fileUrl(target.folderUrl, name);
    const long seconds = static_cast<long>(web::kPublishTimeout.count());
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L); // PUT over HTTP(S), STOR over FTP
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readContent);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(content.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkQuit);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &upload);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, seconds);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, seconds);
    // A server that stops answering in the middle is given up too.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, seconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 3 * seconds);
    curl_easy_setopt(curl, CURLOPT_FTP_CREATE_MISSING_DIRS, static_cast<long>(CURLFTP_CREATE_DIR_RETRY));
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp,ftps,sftp,https,http");
    if (!target.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, target.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, target.password.c_str());
    }
    const CURLcode result = curl_easy_perform(curl);
    long httpStatus = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &httpStatus);
    curl_easy_cleanup(curl);
    if (result != CURLE_OK) return name + ": " + (errorBuffer[0] ? errorBuffer : curl_easy_strerror(result));
    // libcurl counts any HTTP answer as done; a refused PUT is a failure here.
    if (url.rfind("http", 0) == 0 && (httpStatus < 200 || httpStatus > 299))
        return name + ": HTTP " + std::to_string(httpStatus);
    return {};
}

} // namespace

WebPublisher::WebPublisher(PublishTarget target, QObject* parent)
    : QObject(parent), target_(std::move(target)) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    worker_ = std::thread([this] { work(); });
}

WebPublisher::~WebPublisher() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    worker_.join();
    curl_global_cleanup();
}

std::string WebPublisher::fileUrl(const std::string& folderUrl, const std::string& name) {
    if (!folderUrl.empty() && folderUrl.back() == '/') return folderUrl + name;
    return folderUrl + "/" + name;
}

bool WebPublisher::upload(Buffer json, Buffer page) {
    {
        std::lock_guard lock(mutex_);
        if (uploading_) return false;
        uploading_ = true;
        json_ = std::move(json);
        page_ = std::move(page);
    }
    wake_.notify_all();
    return true;
}

bool WebPublisher::busy() const {
    std::lock_guard lock(mutex_);
    return uploading_;
}

void WebPublisher::work() {
    for (;;) {
        Buffer json, page;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || json_; });
            if (quit_) return;
            json = std::move(json_);
            page = std::move(page_);
        }
        // The document first: a page that arrives reads a document at least as new.
        std::string error = put(target_, "match.json", *json, quit_, mutex_);
        if (error.empty() && page) error = put(target_, "index.html", *page, quit_, mutex_);
        {
            std::lock_guard lock(mutex_);
            uploading_ = false;
            if (quit_) return;
        }
        QMetaObject::invokeMethod(
            this, [this, error] { emit finished(QString::fromStdString(error)); }, Qt::QueuedConnection);
    }
}

} // namespace kuzelna
