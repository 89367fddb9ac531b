// Keeps the figures of the page up to date. Every figure is an element whose
// data-k names its place in the match document; the server wrote the values
// into the page already, so this only replaces texts when a new document comes.
// A document of another shape (other duels, sets or lanes) reloads the page.
(function () {
  "use strict";
  var body = document.body;
  var banner = document.getElementById("spojeni");
  var STATES = { waiting: "Čeká se na začátek", playing: "Hraje se", finished: "Utkání skončilo" };

  function at(doc, path) {
    return path.split(".").reduce(function (value, key) {
      return value === undefined || value === null ? undefined : value[key];
    }, doc);
  }
  function text(value) {
    if (value === undefined || value === null) return "";
    return typeof value === "number" ? String(value).replace(".", ",") : String(value);
  }
  function shapeOf(doc) {
    var sets = doc.players && doc.players.length ? (doc.players[0].sets || []).length : 0;
    return (doc.players || []).length + "x" + sets + "x" + (doc.lanes || []).length;
  }
  function playerOf(doc, slot) {
    for (var i = 0; i < (doc.players || []).length; ++i) if (doc.players[i].slot === slot) return doc.players[i];
    return null;
  }

  function show(doc) {
    if (shapeOf(doc) !== body.dataset.shape) {
      location.reload();
      return;
    }
    document.querySelectorAll("[data-k]").forEach(function (el) {
      var t = text(at(doc, el.dataset.k));
      if (el.textContent !== t) el.textContent = t;
    });
    document.querySelectorAll("[data-played]").forEach(function (el) {
      el.classList.toggle("nehrano", at(doc, el.dataset.played) !== true);
    });
    document.querySelectorAll("[data-state]").forEach(function (el) {
      el.textContent = STATES[doc.state] || "";
    });
    document.querySelectorAll("[data-lane-player]").forEach(function (el) {
      var lane = doc.lanes[Number(el.dataset.lanePlayer)];
      var player = lane ? playerOf(doc, lane.slot) : null;
      el.textContent = player ? player.name : "";
    });
    // Bars of a chart share one scale: the best set in that chart.
    document.querySelectorAll("svg.graf").forEach(function (svg) {
      var bars = svg.querySelectorAll("[data-bar]");
      var values = Array.prototype.map.call(bars, function (bar) { return Number(at(doc, bar.dataset.bar)) || 0; });
      var top = Math.max.apply(null, values.concat([1]));
      var height = Number(svg.dataset.height);
      bars.forEach(function (bar, i) {
        var h = Math.round((values[i] / top) * height * 10) / 10;
        bar.setAttribute("height", String(h));
        bar.setAttribute("y", String(Math.round((height - h) * 10) / 10));
      });
    });
    body.dataset.updated = String(Date.now());
  }

  // A patch of the document (docs/web-results.md): members by name, arrays by
  // index with "n" their new length; anything else replaces the value.
  function patched(value, changes) {
    if (changes === null || typeof changes !== "object" || Array.isArray(changes)) return changes;
    if (Array.isArray(value)) {
      if (typeof changes.n === "number") value.length = changes.n;
      Object.keys(changes).forEach(function (key) {
        if (key !== "n") value[Number(key)] = patched(value[Number(key)], changes[key]);
      });
      return value;
    }
    if (value === null || typeof value !== "object") return changes;
    Object.keys(changes).forEach(function (key) {
      if (key !== "__proto__") value[key] = patched(value[key], changes[key]);
    });
    return value;
  }

  function connected(yes) {
    banner.hidden = yes;
  }

  // On the alley's own server: a socket that brings every change.
  function live() {
    var delay = 1000;
    function retry() {
      connected(false);
      setTimeout(open, delay);
      delay = Math.min(delay * 2, 10000);
    }
    function open() {
      var ws;
      try {
        ws = new WebSocket((location.protocol === "https:" ? "wss://" : "ws://") + location.host + "/ws");
      } catch (e) {
        retry();
        return;
      }
      var doc = null; // what this socket has brought so far
      ws.onopen = function () { delay = 1000; connected(true); };
      ws.onmessage = function (event) {
        var message;
        try { message = JSON.parse(event.data); } catch (e) { return; /* a damaged document waits for the next */ }
        if (message.type === "patch") {
          if (message.v !== 1) { location.reload(); return; }
          // Not the document this patch starts from: a new socket begins with the whole one.
          if (!doc || message.base !== doc.seq) { ws.close(); return; }
          doc = patched(doc, message.changes);
          doc.seq = message.seq;
          body.dataset.patches = String(Number(body.dataset.patches || 0) + 1);
        } else {
          doc = message;
          body.dataset.documents = String(Number(body.dataset.documents || 0) + 1);
        }
        try { show(doc); } catch (e) { /* a document of another layout waits for the next */ }
      };
      ws.onclose = retry;
    }
    open();
  }

  // The published copy on the club's web host: match.json beside it, read again every period.
  function published() {
    var period = Math.max(5, Number(body.dataset.period) || 15) * 1000;
    function read() {
      fetch("match.json", { cache: "no-store" })
        .then(function (response) { if (!response.ok) throw new Error(String(response.status)); return response.json(); })
        .then(function (doc) { connected(true); show(doc); })
        .catch(function () { connected(false); })
        .finally(function () { setTimeout(read, period); });
    }
    setTimeout(read, period);
  }

  if (body.dataset.source === "published") published(); else live();
})();
