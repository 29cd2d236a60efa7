// What the page knows of the range: one record per lane, fed by the messages the lanes publish
// under zark/v1/<range>/<lane>/. No drawing and no DOM here, so Node can run it too.
(function (root) {
  "use strict";

  // The trace kept per lane: the last few seconds at the unit's 25 samples a second.
  const SAMPLE_MS = 40;
  const TRACE_SECONDS = 3;
  const TRACE_SAMPLES = (TRACE_SECONDS * 1000) / SAMPLE_MS;
  const MAX_MESSAGE = 64 * 1024;
  const MAX_SHOTS = 200;
  const LANE_NAME = /^[A-Za-z0-9_-]{1,32}$/;
  const RUNS = ["idle", "sighters", "series", "match", "timed"];

  function isNumber(v) {
    return typeof v === "number" && Number.isFinite(v);
  }

  // The record of a lane the page has not heard from yet.
  function newLane(name) {
    return {
      name: name,
      shooter: "",
      online: false,
      known: false, // a state was received
      runs: "idle",
      locked: false,
      series: null,
      fired: 0,
      stateFired: 0, // shots fired as the last state counted them
      due: 0,
      totalText: "",
      faceId: 0,
      faceName: "",
      faces: [], // from the lane's retained face message
      shots: [], // of the current series, by number
      trace: [], // [x, y, index, time], the newest last
      traceSeries: null,
      changed: 0, // bumped on every change the view shows
    };
  }

  // A face as the lane describes it: rings from the outside in (radius in file units, colour,
  // label), the width of the whole view and a bullet's radius in file units, and whether it is a
  // silhouette picture. The program draws a ring of colour 0 black with a white line, every
  // other ring white with a black line; the page does the same.
  function parseFace(f) {
    if (!f || typeof f !== "object" || !isNumber(f.id)) return null;
    const rings = [];
    if (Array.isArray(f.rings)) {
      for (const r of f.rings.slice(0, 20)) {
        if (!r || !isNumber(r.r) || r.r <= 0 || r.r > 32767) continue;
        const black = r.colour === "#000000";
        rings.push({
          r: r.r,
          fill: black ? "#000000" : "#ffffff",
          line: black ? "#ffffff" : "#000000",
          label: typeof r.label === "string" ? r.label.slice(0, 7) : "",
        });
      }
    }
    return {
      id: f.id,
      name: typeof f.name === "string" ? f.name.slice(0, 80) : "",
      view: isNumber(f.viewWidth) && f.viewWidth > 0 ? f.viewWidth : 1694,
      bullet: isNumber(f.bulletRadius) && f.bulletRadius >= 0 ? f.bulletRadius : 0,
      picture: f.picture === true,
      rings: rings,
    };
  }

  // The range: lanes by name, and what to do with each message.
  class RangeModel {
    constructor() {
      this.lanes = new Map();
      this.dropped = 0;
      this.version = 0;
    }

    lane(name) {
      let l = this.lanes.get(name);
      if (!l) {
        l = newLane(name);
        this.lanes.set(name, l);
      }
      return l;
    }

    // Takes one message; returns the lane it changed, or null when it was dropped or changed
    // nothing. topic: zark/v1/<range>/<lane>/<kind>; payload: a string; now: milliseconds.
    handle(topic, payload, now) {
      const parts = topic.split("/");
      if (parts.length !== 5 || parts[0] !== "zark" || parts[1] !== "v1") return this.drop();
      const name = parts[3];
      const kind = parts[4];
      if (!LANE_NAME.test(name)) return this.drop();
      if (payload.length === 0) {
        // a retained message cleared: a lane that is gone for good
        if (kind === "state" && this.lanes.delete(name)) {
          this.version++;
          return { name: name, removed: true };
        }
        return null;
      }
      if (payload.length > MAX_MESSAGE) return this.drop();
      let m;
      try {
        m = JSON.parse(payload);
      } catch (e) {
        return this.drop();
      }
      if (!m || typeof m !== "object" || m.v !== 1) return this.drop();
      let lane;
      switch (kind) {
        case "state":
          lane = this.onState(name, m);
          break;
        case "face":
          lane = this.onFace(name, m);
          break;
        case "trace":
          lane = this.onTrace(name, m, now || 0);
          break;
        case "shot":
          lane = this.onShot(name, m);
          break;
        default:
          return null; // series, command, ack: not shown here
      }
      if (!lane) return this.drop();
      lane.changed++;
      this.version++;
      return lane;
    }

    drop() {
      this.dropped++;
      return null;
    }

    onState(name, m) {
      if (typeof m.online !== "boolean") return null;
      const l = this.lane(name);
      l.known = true;
      l.online = m.online;
      if (!m.online) return l; // the last will carries nothing else
      if (m.series !== undefined && m.series !== l.series) this.newSeries(l, m.series);
      if (typeof m.shooter === "string") l.shooter = m.shooter.slice(0, 64);
      if (RUNS.includes(m.run)) l.runs = m.run;
      l.locked = m.locked === true; // by the range officer; older lanes do not say
      if (isNumber(m.fired) && m.fired >= 0) l.fired = l.stateFired = Math.floor(m.fired);
      if (isNumber(m.due) && m.due >= 0) l.due = Math.floor(m.due);
      if (typeof m.total === "string") l.totalText = m.total.slice(0, 32);
      if (isNumber(m.face)) l.faceId = m.face;
      if (typeof m.faceName === "string") l.faceName = m.faceName.slice(0, 80);
      // The shots so far, for a page that comes in the middle of a series: where they are; the
      // scores come with the shots that follow.
      if (Array.isArray(m.shots) && m.shots.length <= MAX_SHOTS) {
        m.shots.forEach((p, i) => {
          if (!Array.isArray(p) || !isNumber(p[0]) || !isNumber(p[1])) return;
          if (l.shots.some((s) => s.n === i + 1)) return;
          l.shots.push(shotRecord(i + 1, p[0], p[1], p[3] === 1 ? 1 : 0, {}));
        });
        l.shots.sort((a, b) => a.n - b.n);
      }
      return l;
    }

    // The lane's faces: one, or a left and a right one.
    onFace(name, m) {
      if (!Array.isArray(m.faces) || m.faces.length > 2) return null;
      const faces = m.faces.map(parseFace);
      if (faces.some((f) => !f)) return null;
      const l = this.lane(name);
      l.faces = faces;
      return l;
    }

    newSeries(l, series) {
      l.series = series;
      l.fired = l.stateFired = 0;
      l.totalText = "";
      l.shots = [];
      l.trace = [];
      l.traceSeries = series;
    }

    // Each point gets the time it was aimed at: the newest arrived now, the others a sample
    // period apart before it.
    onTrace(name, m, now) {
      if (!isNumber(m.first) || m.first < 0 || !Array.isArray(m.points)) return null;
      if (m.points.length > 2000) return null;
      const l = this.lane(name);
      if (m.series !== undefined && m.series !== l.traceSeries) {
        l.trace = [];
        l.traceSeries = m.series;
      }
      let index = Math.floor(m.first);
      const last = l.trace.length ? l.trace[l.trace.length - 1][2] : -1;
      if (index <= last) l.trace = []; // the unit started again
      const count = m.points.length;
      for (let i = 0; i < count; i++) {
        const p = m.points[i];
        if (!Array.isArray(p) || !isNumber(p[0]) || !isNumber(p[1])) return l;
        l.trace.push([p[0], p[1], index++, now - (count - 1 - i) * SAMPLE_MS]);
      }
      if (l.trace.length > TRACE_SAMPLES) l.trace.splice(0, l.trace.length - TRACE_SAMPLES);
      return l;
    }

    onShot(name, m) {
      if (!isNumber(m.n) || m.n < 1 || m.n > 10000 || !isNumber(m.x) || !isNumber(m.y)) return null;
      if (Math.abs(m.x) > 100000 || Math.abs(m.y) > 100000) return null;
      const l = this.lane(name);
      if (m.series !== undefined && m.series !== l.series) this.newSeries(l, m.series);
      const n = Math.floor(m.n);
      const known = l.shots.findIndex((s) => s.n === n);
      if (known >= 0 && l.shots[known].scored) return null; // a repeat after a reconnect
      const shot = shotRecord(n, m.x, m.y, m.side === 1 ? 1 : 0, m);
      if (known >= 0) l.shots[known] = shot;
      else l.shots.push(shot);
      l.shots.sort((a, b) => a.n - b.n);
      if (l.shots.length > MAX_SHOTS) l.shots.splice(0, l.shots.length - MAX_SHOTS);
      if (n > l.fired) l.fired = n;
      return l;
    }
  }

  function shotRecord(n, x, y, side, m) {
    return {
      n: n,
      x: x,
      y: y,
      side: side,
      scored: isNumber(m.score),
      score: isNumber(m.score) ? m.score : 0,
      text: typeof m.text === "string" ? m.text.slice(0, 16) : "",
      direction: isNumber(m.direction) && m.direction > 0 ? m.direction : null,
      time: isNumber(m.time) ? m.time : null,
      sighter: m.sighter === true,
      late: m.late === true,
    };
  }

  // The face a lane's shots are shown on: the side of its last shot.
  function faceOf(l) {
    if (!l.faces || !l.faces.length) return null;
    const last = lastShot(l);
    return l.faces[last && last.side === 1 && l.faces.length > 1 ? 1 : 0];
  }

  // The shot fired last (highest number), or null.
  function lastShot(l) {
    if (!l.shots.length) return null;
    return l.shots[l.shots.length - 1];
  }

  // The total a lane shows: the text of its last state, plus the shots that came after that
  // state (the state follows a shot a moment later), with tenths when a score has them.
  function totalOf(l) {
    const base = parseFloat(l.totalText);
    let sum = Number.isFinite(base) ? base : 0;
    let added = false;
    let tenths = /\.\d/.test(l.totalText);
    for (const s of l.shots) {
      if (s.n <= l.stateFired || s.sighter || !s.scored) continue;
      sum += s.score;
      added = true;
      if (Math.round(s.score * 10) % 10 !== 0) tenths = true;
    }
    if (!added) return { value: sum, text: l.totalText };
    sum = Math.round(sum * 10) / 10;
    return { value: sum, text: tenths ? sum.toFixed(1) : String(Math.round(sum)) };
  }

  // The lanes in order of their names, and the ranking: by total, the highest first; lanes with
  // no shot after those with shots; equal totals by name.
  function byName(model) {
    return Array.from(model.lanes.values()).sort((a, b) =>
      a.name.localeCompare(b.name, undefined, { numeric: true }),
    );
  }

  function ranking(model) {
    return byName(model)
      .map((l) => ({ lane: l, total: totalOf(l) }))
      .sort((a, b) => {
        const sa = a.lane.fired > 0 ? 1 : 0;
        const sb = b.lane.fired > 0 ? 1 : 0;
        if (sa !== sb) return sb - sa;
        return b.total.value - a.total.value;
      });
  }

  const api = {
    RangeModel: RangeModel,
    parseFace: parseFace,
    lastShot: lastShot,
    faceOf: faceOf,
    totalOf: totalOf,
    byName: byName,
    ranking: ranking,
    TRACE_SAMPLES: TRACE_SAMPLES,
    TRACE_MS: TRACE_SECONDS * 1000,
    MAX_MESSAGE: MAX_MESSAGE,
  };
  if (typeof module !== "undefined" && module.exports) module.exports = api;
  else root.ZarkLanes = api;
})(this);
