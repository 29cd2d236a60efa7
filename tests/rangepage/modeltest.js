// What the live page makes of the lanes' messages, without a browser.
"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const path = require("node:path");
const source = process.env.ZARK_PAGE_SOURCE || path.join(__dirname, "../../range/page");
const { RangeModel, ranking, totalOf, lastShot, faceOf, TRACE_SAMPLES } = require(path.join(source, "lanes.js"));
const { chooseLanguage, STRINGS } = require(path.join(source, "strings.js"));

const T = (lane, kind) => `zark/v1/club/${lane}/${kind}`;
const J = (o) => JSON.stringify(Object.assign({ v: 1 }, o));
const state = (o) =>
  J(Object.assign({ lane: "A", shooter: "Ann", face: 1100, faceName: "Air rifle", run: "series", series: "s1",
    fired: 0, due: 10, total: "0", version: "1", online: true, shots: [] }, o));
const shot = (n, score, o) =>
  J(Object.assign({ series: "s1", n, x: 10 * n, y: -5, index: 40 * n, side: 0, score, text: String(score),
    direction: 3, time: n, sighter: false, late: false }, o));

test("a series as it comes: repeats, a page that joins late, totals and the next series", () => {
  const m = new RangeModel();
  // joined in the middle: the retained state knows where two shots are, not their scores
  m.handle(T("A", "state"), state({ fired: 2, total: "19.5", shots: [[10, -5, 40, 0], [20, -5, 80, 0]] }));
  const a = m.lanes.get("A");
  assert.equal(a.shots.length, 2);
  assert.equal(lastShot(a).scored, false);
  assert.equal(a.locked, false, "a lane that does not say is not locked");
  m.handle(T("A", "state"), state({ fired: 2, total: "19.5", locked: true, shots: [[10, -5, 40, 0], [20, -5, 80, 0]] }));
  assert.equal(a.locked, true);
  assert.deepEqual(totalOf(a), { value: 19.5, text: "19.5" });
  // the third shot comes before the state that counts it: the sum of what came stands in
  m.handle(T("A", "shot"), shot(3, 10.4));
  assert.equal(m.handle(T("A", "shot"), shot(3, 10.4)), null, "a repeat after a reconnect");
  assert.equal(a.shots.length, 3);
  assert.equal(a.fired, 3);
  assert.equal(totalOf(a).text, "29.9");
  m.handle(T("A", "state"), state({ fired: 3, total: "29.9", shots: [[10, -5, 40, 0], [20, -5, 80, 0], [30, -5, 120, 0]] }));
  assert.equal(totalOf(a).text, "29.9");
  assert.equal(lastShot(a).text, "10.4");
  // a new series starts empty; a sighter adds nothing to the total
  m.handle(T("A", "shot"), shot(1, 9, { series: "s2", sighter: true }));
  assert.equal(a.series, "s2");
  assert.equal(a.shots.length, 1);
  assert.equal(totalOf(a).text, "");
});

test("the trace keeps the last seconds, each point with the time it was aimed at", () => {
  const m = new RangeModel();
  const points = Array.from({ length: 5 }, (_, i) => [i, i]);
  for (let k = 0; k < 40; k++) m.handle(T("A", "trace"), J({ series: "s1", first: 5 * k, points }), 1000 + 200 * k);
  const a = m.lanes.get("A");
  assert.equal(a.trace.length, TRACE_SAMPLES);
  const newest = a.trace[a.trace.length - 1];
  assert.deepEqual(newest, [4, 4, 199, 1000 + 200 * 39]);
  assert.equal(a.trace[a.trace.length - 2][3], newest[3] - 40);
  // the unit counting from 0 again, or another series, starts the trace anew
  m.handle(T("A", "trace"), J({ series: "s1", first: 0, points }), 9000);
  assert.equal(a.trace.length, 5);
});

test("a bad message is dropped and changes nothing; a lane's state cleared removes it", () => {
  const m = new RangeModel();
  m.handle(T("A", "state"), state({}));
  const before = JSON.stringify(m.lanes.get("A"));
  const bad = [
    [T("A", "shot"), "{not json"],
    [T("A", "shot"), J({ series: "s1", n: 0, x: 1, y: 1 })],
    [T("A", "shot"), JSON.stringify({ v: 2, series: "s1", n: 1, x: 1, y: 1 })],
    [T("A", "shot"), J({ series: "s1", n: 1, x: "1", y: 1 })],
    [T("A", "trace"), J({ series: "s1", first: -1, points: [] })],
    [T("A", "face"), J({ faces: [{ name: "no id" }] })],
    [T("A", "state"), J({ lane: "A" })],
    [T("A", "shot"), "x".repeat(64 * 1024 + 1)],
    ["zark/v1/club/bad lane/shot", shot(1, 10)],
    ["zark/v1/club/A/shot/extra", shot(1, 10)],
  ];
  for (const [topic, payload] of bad) assert.equal(m.handle(topic, payload), null, payload.slice(0, 40));
  assert.equal(m.dropped, bad.length);
  assert.equal(JSON.stringify(m.lanes.get("A")), before);
  // the last will: offline, everything else kept
  m.handle(T("A", "state"), J({ lane: "A", online: false }));
  assert.equal(m.lanes.get("A").online, false);
  assert.equal(m.lanes.get("A").shooter, "Ann");
  assert.deepEqual(m.handle(T("A", "state"), ""), { name: "A", removed: true });
  assert.equal(m.lanes.size, 0);
});

test("faces: rings as the program draws them, the face of the last shot's side", () => {
  const m = new RangeModel();
  const ring = (r, colour) => ({ r, colour, value: 1, label: "1" });
  m.handle(T("A", "face"), J({ faces: [
    { id: 2200, name: "Deer left", viewWidth: 1694, bulletRadius: 20, picture: true, rings: [ring(400, "#ffffff"), ring(200, "#000000")] },
    { id: 2201, name: "Deer right", viewWidth: 1694, bulletRadius: 20, picture: true, rings: [] },
  ] }));
  const a = m.lanes.get("A");
  assert.deepEqual(a.faces[0].rings.map((r) => [r.fill, r.line]), [["#ffffff", "#000000"], ["#000000", "#ffffff"]]);
  assert.equal(faceOf(a).id, 2200);
  m.handle(T("A", "shot"), shot(1, 5, { side: 1 }));
  assert.equal(faceOf(a).id, 2201);
});

test("the ranking: by total, lanes without shots last, equal totals by lane", () => {
  const m = new RangeModel();
  for (const [lane, fired, total] of [["L10", 2, "18"], ["L2", 2, "19.5"], ["L1", 0, "0"], ["L3", 2, "18"]])
    m.handle(T(lane, "state"), state({ lane, fired, total }));
  assert.deepEqual(ranking(m).map((r) => r.lane.name), ["L2", "L3", "L10", "L1"]);
});

test("the language: the query's, else the browser's, else English", () => {
  assert.equal(chooseLanguage("de", ["en-GB"]), "de");
  assert.equal(chooseLanguage(null, ["fr-FR", "sv-SE"]), "sv");
  assert.equal(chooseLanguage("xx", []), "en");
  for (const lang of ["de", "sv", "es"]) assert.deepEqual(Object.keys(STRINGS[lang]), Object.keys(STRINGS.en), lang);
});
