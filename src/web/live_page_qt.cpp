#include "web/live_page_qt.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kuzelna {
namespace {

// Chart of a duel, in the units of its viewBox.
constexpr double kChartWidth = 100;
constexpr double kChartHeight = 30;

std::string resource(const char* path) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error(std::string("missing resource ") + path);
    return file.readAll().toStdString();
}

std::string escaped(const QString& text) {
    return text.toHtmlEscaped().toStdString();
}

// A number as the script writes it: shortest form, decimal comma.
std::string number(double value) {
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text.toStdString();
}

std::string text(const QJsonValue& value) {
    if (value.isDouble()) return number(value.toDouble());
    if (value.isString()) return escaped(value.toString());
    return {};
}

QJsonValue at(const QJsonObject& document, const std::string& path) {
    QJsonValue value = document;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        const std::size_t end = std::min(path.find('.', begin), path.size());
        const QString key = QString::fromStdString(path.substr(begin, end - begin));
        bool index = false;
        const int i = key.toInt(&index);
        value = index ? value.toArray().at(i) : value.toObject().value(key);
        begin = end + 1;
    }
    return value;
}

class Writer {
public:
    explicit Writer(const QJsonObject& document) : doc_(document) {}

    // <tag data-k="path" class="...">figure</tag>
    void figure(const char* tag, const std::string& path, const char* cssClass = nullptr) {
        out += std::string("<") + tag;
        if (cssClass) out += std::string(" class=\"") + cssClass + "\"";
        out += " data-k=\"" + path + "\">" + text(at(doc_, path)) + "</" + tag + ">";
    }
    void raw(const std::string& html) { out += html; }

    std::string out;

private:
    const QJsonObject& doc_;
};

const char* stateText(const QString& state) {
    if (state == QLatin1String("playing")) return "Hraje se";
    if (state == QLatin1String("finished")) return "Utkání skončilo";
    return "Čeká se na začátek";
}

void team(Writer& w, const char* side, const char* cssClass) {
    const std::string key(side);
    w.raw(std::string("<div class=\"tym ") + cssClass + "\">");
    w.figure("div", key + ".name", "nazev");
    w.raw("<div class=\"radek\">");
    w.raw("<span>");
    w.figure("b", key + ".pins");
    w.raw(" kuželek</span><i class=\"tecka\"> · </i><span>sady ");
    w.figure("b", key + ".setPoints");
    w.raw("</span></div></div>");
}

void playerRow(Writer& w, const QJsonObject& player, int index, bool home) {
    const std::string key = "players." + std::to_string(index);
    w.raw(std::string("<tr class=\"") + (home ? "domaci" : "hoste") + "\">");
    w.figure("td", key + ".name", "jmeno");
    const QJsonArray sets = player.value(QLatin1String("sets")).toArray();
    for (int k = 0; k < sets.size(); ++k) {
        const std::string set = key + ".sets." + std::to_string(k);
        const bool played = sets.at(k).toObject().value(QLatin1String("played")).toBool();
        w.raw("<td data-played=\"" + set + ".played\"" + (played ? "" : " class=\"nehrano\"") + ">");
        w.figure("span", set + ".pins");
        w.figure("sup", set + ".setPoints");
        w.raw("</td>");
    }
    w.figure("td", key + ".pins", "soucet");
    w.figure("td", key + ".setPoints", "bp");
    w.figure("td", key + ".duelPoints", "b");
    w.raw("</tr>");
}

// Both players' pins set by set, bars on one scale as the script draws them.
void chart(Writer& w, const QJsonArray& players, int home, int guest) {
    const QJsonArray homeSets = players.at(home).toObject().value(QLatin1String("sets")).toArray();
    const QJsonArray guestSets = players.at(guest).toObject().value(QLatin1String("sets")).toArray();
    const int sets = static_cast<int>(std::min(homeSets.size(), guestSets.size()));
    double top = 1;
    for (int k = 0; k < sets; ++k) {
        top = std::max({top, homeSets.at(k).toObject().value(QLatin1String("pins")).toDouble(),
                        guestSets.at(k).toObject().value(QLatin1String("pins")).toDouble()});
    }
    w.raw("<svg class=\"graf\" viewBox=\"0 0 " + number(kChartWidth) + " " + number(kChartHeight) +
          "\" preserveAspectRatio=\"none\" data-height=\"" + number(kChartHeight) +
          "\" role=\"img\" aria-label=\"Kuželky po sadách\">");
    const double group = kChartWidth / std::max(1, sets);
    const double bar = group * 0.38;
    for (int k = 0; k < sets; ++k) {
        for (int side = 0; side < 2; ++side) {
            const int index = side == 0 ? home : guest;
            const QJsonArray& list = side == 0 ? homeSets : guestSets;
            const double pins = list.at(k).toObject().value(QLatin1String("pins")).toDouble();
            const double height = std::round(pins / top * kChartHeight * 10) / 10;
            const double x = k * group + group * 0.1 + side * (bar + group * 0.04);
            auto plain = [](double v) { return QString::number(v, 'g', 6).toStdString(); };
            w.raw(std::string("<rect class=\"") + (side == 0 ? "domaci" : "hoste") +
                  "\" data-bar=\"players." + std::to_string(index) + ".sets." + std::to_string(k) +
                  ".pins\" x=\"" + plain(x) + "\" width=\"" + plain(bar) + "\" y=\"" +
                  plain(std::round((kChartHeight - height) * 10) / 10) + "\" height=\"" + plain(height) +
                  "\"/>");
        }
    }
    w.raw("</svg>");
}

std::string body(const QJsonObject& doc) {
    Writer w(doc);
    w.raw("<header class=\"skore\">");
    team(w, "home", "domaci");
    w.raw("<div class=\"body num\">");
    w.figure("span", "home.matchPoints");
    w.raw("<span class=\"dvojtecka\">:</span>");
    w.figure("span", "guest.matchPoints");
    w.raw("</div>");
    team(w, "guest", "hoste");
    w.raw("</header>\n<div class=\"stav\"><span data-state>");
    w.raw(stateText(doc.value(QLatin1String("state")).toString()));
    w.raw("</span><span>blok ");
    w.figure("b", "block");
    w.raw(" z ");
    w.figure("b", "blocks");
    w.raw("</span><span>hra ");
    w.figure("b", "gameKindLabel");
    w.raw("</span>");
    w.figure("span", "alley");
    w.raw("</div>\n<main class=\"souboje\">");

    const QJsonArray players = doc.value(QLatin1String("players")).toArray();
    const int sets =
        players.isEmpty()
            ? 0
            : static_cast<int>(players.at(0).toObject().value(QLatin1String("sets")).toArray().size());
    for (int home = 0; home + 1 < players.size(); home += 2) {
        w.raw("<section class=\"souboj\"><h2>Souboj " + std::to_string(home / 2 + 1) + "</h2>");
        w.raw("<table class=\"num\"><thead><tr><th class=\"jmeno\">Hráč</th>");
        for (int k = 1; k <= sets; ++k)
            w.raw("<th class=\"sada\">" + std::to_string(k) + ".</th>");
        // The results board's column names: total pins, set points, duel points.
        w.raw("<th class=\"soucet\">CEL</th><th class=\"bp\">Bp</th><th "
              "class=\"b\">B</th></tr></thead><tbody>");
        playerRow(w, players.at(home).toObject(), home, true);
        playerRow(w, players.at(home + 1).toObject(), home + 1, false);
        w.raw("</tbody></table>");
        chart(w, players, home, home + 1);
        w.raw("</section>\n");
    }
    w.raw("</main>\n<footer class=\"drahy\">");
    const QJsonArray lanes = doc.value(QLatin1String("lanes")).toArray();
    for (int j = 0; j < lanes.size(); ++j) {
        const std::string key = "lanes." + std::to_string(j);
        const QJsonValue slot = lanes.at(j).toObject().value(QLatin1String("slot"));
        QString name;
        for (const QJsonValue player : players) {
            if (slot.isDouble() && player.toObject().value(QLatin1String("slot")) == slot)
                name = player.toObject().value(QLatin1String("name")).toString();
        }
        w.raw("<div class=\"draha\"><span class=\"cislo\">Dráha ");
        w.figure("span", key + ".lane");
        w.raw("</span><span class=\"hrac\" data-lane-player=\"" + std::to_string(j) + "\">" + escaped(name) +
              "</span><span class=\"hod\">hod ");
        w.figure("b", key + ".counter");
        w.raw(" · kuželky ");
        w.figure("b", key + ".pins");
        w.raw("</span></div>");
    }
    w.raw("</footer>");
    return w.out;
}

// Markers are filled in the order they stand in the template, each searched
// after the text put in before it: no name of a team is taken for a marker.
void replace(std::string& page, std::size_t& from, const std::string& marker, const std::string& value) {
    const std::size_t at = page.find(marker, from);
    if (at == std::string::npos) return;
    page.replace(at, marker.size(), value);
    from = at + value.size();
}

QJsonObject parse(const std::string& matchJson) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(matchJson)).object();
}

std::string shapeOf(const QJsonObject& doc) {
    const QJsonArray players = doc.value(QLatin1String("players")).toArray();
    const qsizetype sets =
        players.isEmpty() ? 0 : players.at(0).toObject().value(QLatin1String("sets")).toArray().size();
    return std::to_string(players.size()) + "x" + std::to_string(sets) + "x" +
           std::to_string(doc.value(QLatin1String("lanes")).toArray().size());
}

} // namespace

LivePageParts LivePageParts::fromResources() {
    return {resource(":/web/live.html"), resource(":/web/live.css"), resource(":/web/live.js")};
}

std::string livePageShape(const std::string& matchJson) {
    return shapeOf(parse(matchJson));
}

std::string renderLivePage(const LivePageParts& parts, const std::string& matchJson, LivePageSource source,
                           int periodSeconds) {
    const QJsonObject doc = parse(matchJson);
    std::string page = parts.html;
    std::size_t from = 0;
    replace(page, from, "{{title}}",
            escaped(doc.value(QLatin1String("home")).toObject().value(QLatin1String("name")).toString() +
                    QStringLiteral(" – ") +
                    doc.value(QLatin1String("guest")).toObject().value(QLatin1String("name")).toString()) +
                " · živé výsledky");
    const bool live = source == LivePageSource::Live;
    replace(page, from, "{{style}}",
            live ? std::string("<link rel=\"stylesheet\" href=\"") + kLivePageStyle + "\">"
                 : "<style>\n" + parts.css + "\n</style>");
    replace(page, from, "{{shape}}", shapeOf(doc));
    replace(page, from, "{{source}}", source == LivePageSource::Live ? "live" : "published");
    replace(page, from, "{{period}}", std::to_string(periodSeconds));
    replace(page, from, "{{body}}", body(doc));
    replace(page, from, "{{script}}",
            live ? std::string("<script src=\"") + kLivePageScript + "\"></script>"
                 : "<script>\n" + parts.js + "\n</script>");
    return page;
}

} // namespace kuzelna
