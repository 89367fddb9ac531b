#include "web/web_publisher_qt.h"

#include "web/web_limits.h"

#include <curl/curl.h>

#include <QMetaObject>

#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
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

// What a URL is made of, as libcurl itself reads it (a URL without a scheme
// is guessed as curl would guess it).
struct UrlParts {
    std::string scheme, host, port, password;
};

UrlParts urlParts(const std::string& url) {
    UrlParts parts;
    CURLU* handle = curl_url();
    if (!handle) return parts;
    if (curl_url_set(handle, CURLUPART_URL, url.c_str(), CURLU_GUESS_SCHEME | CURLU_NON_SUPPORT_SCHEME) ==
        CURLUE_OK) {
        const auto part = [handle](CURLUPart which, std::string& into) {
            char* text = nullptr;
            if (curl_url_get(handle, which, &text, 0) == CURLUE_OK && text) into = text;
            curl_free(text);
        };
        part(CURLUPART_SCHEME, parts.scheme);
        part(CURLUPART_HOST, parts.host);
        part(CURLUPART_PORT, parts.port);
        part(CURLUPART_PASSWORD, parts.password);
        for (char& c : parts.scheme)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    curl_url_cleanup(handle);
    return parts;
}

struct HostKeyCheck {
    std::string host;       // as the message names it
    std::string knownHosts; // the file checked against
    std::string problem;    // set when the key was refused
};

// Only a key the user's known_hosts holds for this host is taken.
int checkHostKey(CURL*, const curl_khkey*, const curl_khkey*, curl_khmatch match, void* userData) {
    auto* check = static_cast<HostKeyCheck*>(userData);
    if (match == CURLKHMATCH_OK) return CURLKHSTAT_FINE;
    const std::string& file = check->knownHosts;
    check->problem = match == CURLKHMATCH_MISMATCH
                         ? "server " + check->host + " ukazuje jiný klíč, než má " + file +
                               ": může jít o podvržený server, nic se neodeslalo"
                         : "server " + check->host + " není v " + file +
                               " (neznámý klíč serveru); ověřte jeho otisk a přidejte ho tam, "
                               "nic se neodeslalo";
    return CURLKHSTAT_REJECT;
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
    // Never turned off: a host that cannot prove who it is gets no password.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    const UrlParts parts = urlParts(url);
    HostKeyCheck hostKey{
        parts.port.empty() ? parts.host : parts.host + ":" + parts.port, WebPublisher::knownHostsFile(), {}};
    curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS, hostKey.knownHosts.c_str());
    curl_easy_setopt(curl, CURLOPT_SSH_KEYFUNCTION, checkHostKey);
    curl_easy_setopt(curl, CURLOPT_SSH_KEYDATA, &hostKey);
    if (!target.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, target.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, target.password.c_str());
    }
    const CURLcode result = curl_easy_perform(curl);
    long httpStatus = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &httpStatus);
    curl_easy_cleanup(curl);
    if (!hostKey.problem.empty()) return name + ": " + hostKey.problem;
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

std::string WebPublisher::refusal(const PublishTarget& target) {
    const UrlParts parts = urlParts(target.folderUrl);
    const bool password = !target.password.empty() || !parts.password.empty();
    if (!password || target.allowInsecure) return {};
    const char* secure = parts.scheme == "ftp"    ? "ftps:// nebo sftp://"
                         : parts.scheme == "http" ? "https://"
                                                  : nullptr;
    if (!secure) return {};
    return parts.scheme +
           ":// by poslalo heslo nešifrovaně, takže by ho přečetl kdokoli na cestě k serveru; "
           "použijte " +
           secure + ", nebo to v zodided.ini povolte: [Web] PublishInsecure=1";
}

std::string WebPublisher::knownHostsFile() {
    const char* home = std::getenv("HOME");
    std::string folder = home && *home ? home : "";
    if (folder.empty()) {
        passwd entry{};
        passwd* user = nullptr;
        char buffer[4096];
        if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &user) == 0 && user) folder = user->pw_dir;
    }
    return folder + "/.ssh/known_hosts";
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
        std::string error = refusal(target_);
        if (error.empty()) error = put(target_, "match.json", *json, quit_, mutex_);
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
