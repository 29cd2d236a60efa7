// The range's live page: subscribes to every lane of the range as the read-only spectator, shows
// a tile per lane, the ranking and one lane in detail, and reconnects by itself.
(function () {
  "use strict";

  const Lanes = window.ZarkLanes;
  const Face = window.ZarkFace;
  const query = new URLSearchParams(location.search);
  const config = Object.assign({}, window.ZARK_RANGE_CONFIG || {});
  for (const key of ["range", "user", "password", "broker"]) {
    if (query.has(key)) config[key] = query.get(key);
  }
  const lang = window.ZarkStrings.chooseLanguage(query.get("lang"), navigator.languages);
  const S = window.ZarkStrings.STRINGS[lang];

  const model = new Lanes.RangeModel();
  const tiles = new Map(); // lane name -> tile elements
  const dirty = new Set();
  let status = "connecting";
  let view = { kind: "tiles", lane: "" };

  const $ = (id) => document.getElementById(id);
  const tilesBox = $("tiles");
  const rankingBox = $("ranking");
  const detailBox = $("detail");
  const detailCanvas = detailBox.querySelector("canvas");

  function el(tag, cls, text) {
    const e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  function applyLanguage() {
    document.documentElement.lang = lang;
    document.title = S.title;
    $("title").textContent = S.title;
    $("nav-lanes").textContent = S.lanes;
    $("nav-ranking").textContent = S.ranking;
    for (const e of document.querySelectorAll("[data-s]")) e.textContent = S[e.dataset.s];
  }

  // --- figures as the tiles, the ranking and the detail show them

  function scoreText(shot) {
    if (!shot || !shot.scored) return "–";
    let t = shot.text || String(shot.score);
    if (shot.late) t += " (" + S.late + ")";
    else if (shot.sighter) t += " (" + S.sighter + ")";
    return t;
  }

  function shotsText(lane) {
    return lane.due > 0 ? `${lane.fired} ${S.of} ${lane.due}` : String(lane.fired);
  }

  function runsText(lane) {
    if (!lane.online) return S.offline;
    const runs = S[lane.runs] || lane.runs;
    return lane.locked ? `${runs}, ${S.locked}` : runs;
  }

  function directionText(d) {
    return d === null ? "" : S.clock.replace("{h}", String(d));
  }

  function timeText(t) {
    return t === null ? "" : t.toFixed(1) + " s";
  }

  // --- tiles

  function makeTile(name) {
    const tile = el("article", "tile");
    tile.dataset.lane = name;
    const head = el("header");
    const laneName = el("span", "lane", name);
    const shooter = el("span", "shooter");
    const runs = el("span", "runs");
    head.append(laneName, shooter, runs);
    const body = el("div", "body");
    const canvas = el("canvas");
    const figures = el("dl", "figures");
    const fields = {};
    for (const key of ["last", "total", "shots"]) {
      const box = el("div", key);
      box.append(el("dt", "", S[key]));
      fields[key] = el("dd");
      box.append(fields[key]);
      figures.append(box);
    }
    body.append(canvas, figures);
    tile.append(head, body);
    tile.addEventListener("click", () => {
      location.hash = "#lane/" + encodeURIComponent(name);
    });
    const t = { tile, shooter, runs, canvas, fields, fading: false, drawnAt: 0 };
    tiles.set(name, t);
    return t;
  }

  function updateTile(lane) {
    let t = tiles.get(lane.name);
    if (!t) {
      t = makeTile(lane.name);
      placeTiles();
    }
    t.tile.classList.toggle("offline", !lane.online);
    setText(t.shooter, lane.shooter);
    setText(t.runs, runsText(lane));
    t.runs.dataset.runs = lane.online ? lane.runs : "offline";
    const last = Lanes.lastShot(lane);
    setText(t.fields.last, scoreText(last));
    setText(t.fields.total, Lanes.totalOf(lane).text || "–");
    setText(t.fields.shots, shotsText(lane));
    return t;
  }

  function setText(e, text) {
    if (e.textContent !== text) e.textContent = text;
  }

  function drawTile(t, lane, now) {
    t.fading = Face.draw(t.canvas, lane, now);
    t.drawnAt = now;
    // what the tile shows now, for whoever watches the page's state
    const last = Lanes.lastShot(lane);
    const shown = last ? `${lane.series}:${last.n}` : "";
    if (t.tile.dataset.shown !== shown) t.tile.dataset.shown = shown;
  }

  // Tiles in order of lane names.
  function placeTiles() {
    const names = Lanes.byName(model).map((l) => l.name);
    for (const [name, t] of tiles) {
      if (!model.lanes.has(name)) {
        t.tile.remove();
        tiles.delete(name);
      }
    }
    const wanted = names.map((n) => tiles.get(n)).filter(Boolean).map((t) => t.tile);
    const current = Array.from(tilesBox.children);
    if (wanted.length !== current.length || wanted.some((w, i) => w !== current[i])) tilesBox.replaceChildren(...wanted);
    $("empty").hidden = names.length > 0 || status !== "connected";
    $("empty").textContent = S.noLanes;
    layout();
  }

  // On a wide screen every tile fits without scrolling: the columns that give the biggest tiles.
  // On a narrow one the tiles flow down the page.
  function layout() {
    const n = tilesBox.children.length;
    const wide = window.innerWidth >= 900;
    tilesBox.classList.toggle("fit", wide && n > 0);
    if (!wide || n === 0) {
      tilesBox.style.gridTemplateColumns = "";
      tilesBox.style.gridAutoRows = "";
      return;
    }
    const gap = 8;
    const top = tilesBox.getBoundingClientRect().top;
    const width = tilesBox.clientWidth;
    const height = window.innerHeight - top - gap;
    const aspect = 1.5; // a tile's width to its height
    let best = { size: 0, cols: 1, rowH: 0 };
    for (let cols = 1; cols <= n; cols++) {
      const rows = Math.ceil(n / cols);
      const w = (width - gap * (cols - 1)) / cols;
      const h = (height - gap * (rows - 1)) / rows;
      const size = Math.min(w, h * aspect);
      if (size > best.size) best = { size, cols, rowH: Math.floor(Math.min(h, w / 1.1)) };
    }
    tilesBox.style.gridTemplateColumns = `repeat(${best.cols}, minmax(0, 1fr))`;
    tilesBox.style.gridAutoRows = `${Math.max(120, best.rowH)}px`;
    tilesBox.style.setProperty("--tile-h", `${Math.max(120, best.rowH)}px`);
  }

  // --- ranking and detail

  function updateRanking() {
    const body = rankingBox.querySelector("tbody");
    const ranked = Lanes.ranking(model);
    let place = 0;
    const rows = ranked.map((r, i) => {
      const tr = el("tr");
      if (!r.lane.online) tr.className = "offline";
      // equal totals share their place
      if (i === 0 || r.total.value !== ranked[i - 1].total.value) place = i + 1;
      const last = Lanes.lastShot(r.lane);
      for (const text of [r.lane.fired > 0 ? String(place) : "", r.lane.name, r.lane.shooter, shotsText(r.lane), last ? scoreText(last) : "–", r.total.text || "–"])
        tr.append(el("td", "", text));
      tr.addEventListener("click", () => {
        location.hash = "#lane/" + encodeURIComponent(r.lane.name);
      });
      return tr;
    });
    body.replaceChildren(...rows);
  }

  function updateDetail(now) {
    const lane = model.lanes.get(view.lane);
    const title = detailBox.querySelector("h2");
    if (!lane) {
      title.textContent = view.lane + " – " + S.offline;
      return false;
    }
    title.textContent = lane.shooter ? `${lane.name} · ${lane.shooter}` : lane.name;
    detailBox.classList.toggle("offline", !lane.online);
    const figures = detailBox.querySelector(".figures");
    const items = [
      [S.total, Lanes.totalOf(lane).text || "–"],
      [S.shots, shotsText(lane)],
      [S.last, scoreText(Lanes.lastShot(lane))],
      ["", lane.faceName || ""],
      ["", runsText(lane)],
    ];
    figures.replaceChildren(
      ...items.map(([k, v]) => {
        const box = el("div");
        box.append(el("dt", "", k), el("dd", "", v));
        return box;
      }),
    );
    const body = detailBox.querySelector(".shots tbody");
    const rows = lane.shots
      .slice()
      .reverse()
      .map((s) => {
        const tr = el("tr");
        if (s.sighter) tr.className = "sighter";
        for (const text of [String(s.n), scoreText(s), directionText(s.direction), timeText(s.time)])
          tr.append(el("td", "", text));
        return tr;
      });
    if (!rows.length) {
      const tr = el("tr");
      const td = el("td", "", S.noShots);
      td.colSpan = 4;
      tr.append(td);
      rows.push(tr);
    }
    body.replaceChildren(...rows);
    return Face.draw(detailCanvas, lane, now, { labels: true });
  }

  // --- views

  function route() {
    const h = decodeURIComponent(location.hash.slice(1));
    if (h === "ranking") view = { kind: "ranking", lane: "" };
    else if (h.startsWith("lane/")) view = { kind: "detail", lane: h.slice(5) };
    else view = { kind: "tiles", lane: "" };
    tilesBox.hidden = view.kind !== "tiles";
    rankingBox.hidden = view.kind !== "ranking";
    detailBox.hidden = view.kind !== "detail";
    $("nav-lanes").classList.toggle("active", view.kind === "tiles");
    $("nav-ranking").classList.toggle("active", view.kind === "ranking");
    for (const name of model.lanes.keys()) dirty.add(name);
    layout();
    schedule();
  }

  // --- drawing, once a frame for what changed and for traces that still fade

  let frameAsked = false;
  let detailFading = false;
  function schedule() {
    if (!frameAsked) {
      frameAsked = true;
      requestAnimationFrame(frame);
    }
  }

  // A frame draws at once what changed; a trace that only fades is drawn again at most every
  // TRACE_FRAME_MS, so twenty tiles leave the browser time for the messages.
  const TRACE_FRAME_MS = 100;
  function frame() {
    frameAsked = false;
    const now = performance.now();
    let again = false;
    for (const name of dirty) {
      const lane = model.lanes.get(name);
      if (!lane) continue;
      const t = updateTile(lane);
      if (view.kind === "tiles") drawTile(t, lane, now);
    }
    if (view.kind === "tiles") {
      for (const t of tiles.values()) {
        if (!t.fading || dirty.has(t.tile.dataset.lane)) continue;
        if (now - t.drawnAt >= TRACE_FRAME_MS) drawTile(t, model.lanes.get(t.tile.dataset.lane), now);
        again = again || t.fading;
      }
    }
    const laneChanged = dirty.has(view.lane);
    const anyChanged = dirty.size > 0;
    dirty.clear();
    if (view.kind === "ranking" && anyChanged) updateRanking();
    if (view.kind === "detail" && (laneChanged || detailFading)) detailFading = updateDetail(now);
    for (const t of tiles.values()) again = again || (view.kind === "tiles" && t.fading);
    if (again || detailFading) schedule();
  }

  function setStatus(s) {
    status = s;
    const box = $("status");
    box.textContent = S[s];
    box.dataset.status = s;
    placeTiles();
  }

  // --- the broker

  function brokerUrl() {
    if (config.broker) return config.broker;
    const scheme = location.protocol === "https:" ? "wss://" : "ws://";
    return scheme + location.host;
  }

  function connect() {
    const client = window.mqtt.connect(brokerUrl(), {
      username: config.user,
      password: config.password,
      clientId: "zark-page-" + Math.random().toString(16).slice(2, 10),
      clean: true,
      reconnectPeriod: 2000,
      connectTimeout: 5000,
      keepalive: 20,
    });
    const base = `zark/v1/${config.range}/+/`;
    client.on("connect", () => {
      setStatus("connected");
      client.subscribe(["state", "face", "trace", "shot"].map((k) => base + k), { qos: 1 });
    });
    client.on("reconnect", () => {
      if (status !== "refused") setStatus("reconnecting");
    });
    // wrong user or password: the page keeps trying (the club may fix the broker's files), and says why
    client.on("error", (e) => {
      if (e && (e.code === 4 || e.code === 5 || e.code === 134 || e.code === 135)) setStatus("refused");
    });
    client.on("close", () => {
      if (status === "connected") setStatus("reconnecting");
    });
    client.on("message", (topic, payload) => {
      const lane = model.handle(topic, payload.toString(), performance.now());
      if (!lane) return;
      const t = tiles.get(lane.name);
      if (lane.removed) placeTiles();
      else if (t && topic.endsWith("/trace")) t.fading = true; // drawn with the next trace frame
      else if (t && topic.endsWith("/shot") && view.kind === "tiles") {
        // a shot is drawn at once, not a frame later
        updateTile(lane);
        drawTile(t, lane, performance.now());
      } else dirty.add(lane.name);
      schedule();
    });
    window.zarkPage = { model, client, config };
  }

  applyLanguage();
  setStatus("connecting");
  window.addEventListener("hashchange", route);
  window.addEventListener("resize", () => {
    layout();
    for (const name of model.lanes.keys()) dirty.add(name);
    schedule();
  });
  route();
  connect();
})();
