#pragma once

// Uploads the match document and a static copy of the page to the club's web
// host, so that spectators beyond the hall never reach the alley PC. libcurl
// on a worker thread of its own: an upload that hangs holds up neither the
// windows nor the lane link. One upload at a time; content that arrives while
// one runs waits for the next period.
//
// Targets: `PublishUrl` is a folder (ftp://, ftps://, sftp://, or https:// with
// PUT; http:// on a private network); the files are match.json and index.html
// in it. Credentials come in the URL or in PublishUser / PublishPassword. A
// password goes only over an encrypted link: ftp:// and http:// with one are
// refused unless `allowInsecure` (PublishInsecure=1). The certificates of
// ftps:// and https:// are checked, and an sftp:// host must be in the user's
// ~/.ssh/known_hosts with the key it shows.

#include <QObject>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace kuzelna {

struct PublishTarget {
    std::string folderUrl;
    std::string user;
    std::string password;
    bool allowInsecure = false; // a password may go in clear text (PublishInsecure=1)
};

class WebPublisher : public QObject {
    Q_OBJECT
public:
    using Buffer = std::shared_ptr<const std::string>;

    explicit WebPublisher(PublishTarget target, QObject* parent = nullptr);
    ~WebPublisher() override; // gives up a running upload
    WebPublisher(const WebPublisher&) = delete;
    WebPublisher& operator=(const WebPublisher&) = delete;

    // Starts an upload of these files unless one is running (then returns false).
    bool upload(Buffer json, Buffer page);
    bool busy() const;

    // The URL a file goes to: the folder with "/" added when it lacks one.
    static std::string fileUrl(const std::string& folderUrl, const std::string& name);
    // Why nothing may be sent to `target` (UTF-8), or empty when it may.
    static std::string refusal(const PublishTarget& target);
    // The known_hosts file an sftp:// host is checked against.
    static std::string knownHostsFile();

signals:
    // On the Qt thread after every upload: `error` empty when both files went up.
    void finished(const QString& error);

private:
    void work();

    PublishTarget target_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    Buffer json_, page_; // the job, when set
    bool uploading_ = false;
    bool quit_ = false;
    std::thread worker_;
};

} // namespace kuzelna
