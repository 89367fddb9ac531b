#pragma once

// The live results of the running program: on the Qt thread it turns changes
// of the match into snapshots (the match document and the page, built from the
// match state, coalesced as web_limits.h says) and hands them to the
// server's thread and to the publisher as immutable buffers. Neither of those
// ever sees the match state.
//
//     lane frame ──► LaneServer::throwChanged/laneChanged/... ──► changed()
//     ──► (coalesced) snapshot(): matchJson, its patch + renderLivePage ──► WebServer::publish
//     QTimer PublishSeconds ──► WebPublisher::upload (worker thread)

#include "core/json_patch.h"
#include "web/live_page_qt.h"
#include "web/web_publisher_qt.h"
#include "web/web_server_qt.h"
#include "web/web_settings.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <memory>
#include <string>

namespace kuzelna {

struct MatchState;
class LaneServer;

// --web-port N: the port of [Web] Port for this run (0 = no page).
void addWebOptions(QCommandLineParser& parser);
// Applies the options to the settings; throws std::invalid_argument for a bad port.
void readWebOptions(const QCommandLineParser& parser, WebSettings& settings);

class WebResults : public QObject {
    Q_OBJECT
public:
    WebResults(MatchState& state, const WebSettings& settings, QObject* parent = nullptr);
    ~WebResults() override;

    // Serves the page unless [Web] Port is 0, and starts the uploads when a
    // PublishUrl is set. A port that cannot be bound gives one status line and
    // one line on stderr; the program runs on without the page.
    void start();
    // Every notification of the lane link schedules a snapshot.
    void connectLaneServer(LaneServer& server);
    // The match may have changed: a snapshot follows within the interval, or
    // sooner for a recorded throw (web_limits.h).
    void changed();
    void throwRecorded();
    // A snapshot at once, whatever the timers say: a bench plays a match faster than they run.
    void snapshotNow() { snapshot(); }

    const WebSettings& settings() const { return settings_; }
    bool serving() const { return server_.running(); }
    int port() const { return server_.port(); }
    // Why the page is not served (empty while it is, or when it is switched off).
    const QString& failure() const { return failure_; }
    // The page's addresses, the one a phone on the hall's network reaches first.
    QStringList addresses() const;
    // The outcome of the last upload: empty before the first.
    const QString& publishState() const { return publishState_; }

    WebServer& server() { return server_; }
    // The current snapshot, as the server has it.
    WebServer::Buffer json() const { return json_; }
    WebServer::Buffer page() const { return page_; }
    // The static copy of the page that reads match.json beside it.
    std::string staticPage() const;

signals:
    // controls.statusLine has a new text.
    void statusLineChanged();
    void publishStateChanged();

private:
    // Someone may read a snapshot: the page is served or uploads run (or there is none yet).
    bool listening() const;
    void snapshot();
    void scheduleWithin(std::chrono::milliseconds interval);
    void publishTick();
    void published(const QString& error);
    void setStatusLine(const QString& text);

    MatchState& state_;
    WebSettings settings_;
    LivePageParts parts_;
    WebServer server_;
    std::unique_ptr<WebPublisher> publisher_;
    QTimer coalesce_;
    QTimer refresh_; // names and settings change without a lane notification
    QTimer publish_;
    QElapsedTimer sinceSnapshot_;
    WebServer::Buffer json_, page_; // json_ is document_ with its seq_
    std::string document_;
    JsonValue tree_; // document_ read back, what the next patch starts from
    long seq_ = 0;
    WebServer::Buffer uploadingJson_;
    WebServer::Buffer publishedJson_; // the last document uploaded whole
    QString failure_;
    QString publishState_;
    bool publishFailing_ = false;
};

} // namespace kuzelna
