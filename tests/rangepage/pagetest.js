// The live page in a real browser (Debian's Chromium, headless) against a broker of the test's
// own: twenty simulated lanes, the spectator's page on a hall screen and on a phone.
//   node pagetest.js <page folder> <work folder>
// ZARK_SCREENSHOT_DIR: where to keep pictures of the page, when set.
"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const fs = require("node:fs");
const path = require("node:path");
const puppeteer = require("puppeteer-core");
const { TestBroker, sleep } = require("./testbroker");
const { SimLane } = require("./simlanes");

const pageDir = path.resolve(process.argv[2]);
const workDir = path.resolve(process.argv[3]);
const shotsDir = process.env.ZARK_SCREENSHOT_DIR;
const RANGE = "club";
const LANES = Array.from({ length: 20 }, (_, i) => "L" + String(i + 1).padStart(2, "0"));

// The club's users: the page's spectator reads, each lane writes only its own topics.
const passwords = Object.fromEntries(LANES.map((lane) => [lane, "pw-" + lane]));
const users = ["spectator spectator spectator", ...LANES.map((lane) => `lane ${lane} ${passwords[lane]}`)];

function percentile(values, p) {
  const sorted = values.slice().sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil((p / 100) * sorted.length) - 1)];
}

async function picture(page, name) {
  if (!shotsDir) return;
  fs.mkdirSync(shotsDir, { recursive: true });
  await page.screenshot({ path: path.join(shotsDir, name), fullPage: false });
}

// No horizontal scrolling, and on the hall screen no vertical scrolling either.
function overflow(page) {
  return page.evaluate(() => ({
    x: document.documentElement.scrollWidth - document.documentElement.clientWidth,
    y: document.documentElement.scrollHeight - document.documentElement.clientHeight,
  }));
}

test("the live page shows the range", { timeout: 120000 }, async (t) => {
  fs.rmSync(workDir, { recursive: true, force: true });
  fs.mkdirSync(workDir, { recursive: true });
  const broker = new TestBroker(workDir, pageDir, users);
  await broker.configure();
  await broker.start();
  const lanes = LANES.map((name) => new SimLane(broker.mqttUrl(), RANGE, name, passwords[name]));
  lanes[2].shooter = "Maximiliane".repeat(6).slice(0, 64); // the longest name, in one word
  await Promise.all(lanes.map((l) => l.start()));
  for (const l of lanes) l.shot(60 + l.fired * 10, -40, 9);

  const browser = await puppeteer.launch({
    executablePath: process.env.ZARK_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    userDataDir: path.join(workDir, "chromium"),
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage"],
  });
  t.after(async () => {
    await browser.close();
    await Promise.all(lanes.map((l) => l.stop()));
    await broker.stop();
  });
  const page = await browser.newPage();
  const errors = [];
  page.on("pageerror", (e) => errors.push(String(e)));
  await page.setViewport({ width: 1920, height: 1080 });
  await page.goto(broker.pageUrl("?lang=en"), { waitUntil: "load" });

  await t.test("twenty lanes give twenty tiles that fit a hall screen", async () => {
    await page.waitForFunction(() => document.querySelectorAll(".tile").length === 20, { timeout: 10000 });
    await page.waitForFunction(() => document.querySelector('.tile[data-lane="L07"]').dataset.shown === "L07-1:1",
      { timeout: 5000 });
    const tile = await page.$eval('.tile[data-lane="L07"]', (e) => e.innerText);
    assert.match(tile, /Shooter L07/);
    assert.match(await page.$eval('.tile[data-lane="L03"]', (e) => e.innerText), /Maximiliane/);
    assert.match(tile, /1 of 10/);
    assert.match(tile, /9/);
    assert.equal(await page.$eval("#status", (e) => e.dataset.status), "connected");
    assert.deepEqual(await overflow(page), { x: 0, y: 0 });
    await sleep(300); // a trace on the faces
    await picture(page, "range-hall-1920x1080.png");
  });

  await t.test("a shot is on its tile within 250 ms of its publication", async () => {
    await page.evaluate(() => {
      window.seen = {};
      new MutationObserver((records) => {
        for (const r of records) window.seen[r.target.dataset.lane + ":" + r.target.dataset.shown] = Date.now();
      }).observe(document.getElementById("tiles"), { subtree: true, attributes: true, attributeFilter: ["data-shown"] });
    });
    const sent = {};
    for (let k = 0; k < 100; k++) {
      const lane = lanes[(k * 7) % lanes.length];
      const before = Date.now();
      const shot = lane.shot(((k * 37) % 400) - 200, ((k * 53) % 400) - 200, 10);
      sent[`${lane.name}:${shot.series}:${shot.n}`] = before;
      await sleep(40);
    }
    await page.waitForFunction((n) => Object.keys(window.seen).length >= n, { timeout: 10000 }, 100);
    const seen = await page.evaluate(() => window.seen);
    const latencies = Object.entries(sent).map(([key, at]) => {
      assert.ok(seen[key], "never shown: " + key);
      return seen[key] - at;
    });
    const p99 = percentile(latencies, 99);
    console.log(`shot to tile: median ${percentile(latencies, 50)} ms, p99 ${p99} ms, max ${Math.max(...latencies)} ms`);
    assert.ok(p99 <= 250, `p99 ${p99} ms`);
    await picture(page, "range-hall-shots-1920x1080.png");
  });

  await t.test("a lane that goes away stays on the page as offline", async () => {
    const lane = lanes[19];
    lane.publishState(false);
    await page.waitForSelector('.tile.offline[data-lane="L20"]', { timeout: 5000 });
    lane.publishState(true);
    await page.waitForSelector('.tile[data-lane="L20"]:not(.offline)', { timeout: 5000 });
  });

  await t.test("on a phone nothing scrolls sideways, in every view", async () => {
    await page.setViewport({ width: 360, height: 740, deviceScaleFactor: 2 });
    for (const [hash, name] of [["#", "tiles"], ["#ranking", "ranking"], ["#lane/L03", "lane"]]) {
      await page.evaluate((h) => (location.hash = h), hash);
      await sleep(200);
      assert.equal((await overflow(page)).x, 0, hash);
      await picture(page, `range-phone-360-${name}.png`);
    }
    lanes[12].shot(0, 0, 10.9); // every lane has five shots of 10 and the first of 9: L13 leads
    await page.waitForFunction(() => window.zarkPage.model.lanes.get("L13").shots.length === 7, { timeout: 5000 });
    await page.evaluate(() => (location.hash = "#ranking"));
    await page.waitForFunction(() => document.querySelector("#ranking tbody td:nth-child(2)")?.textContent === "L13",
      { timeout: 5000 });
    const ranking = await page.$$eval("#ranking tbody tr td:nth-child(2)", (cells) => cells.map((e) => e.textContent));
    assert.equal(ranking.length, 20);
    assert.deepEqual(ranking.slice(0, 3), ["L13", "L01", "L02"]); // equal totals in the order of the lanes
  });

  await t.test("the page speaks the four languages", async () => {
    for (const [lang, word] of [["de", "Rangliste"], ["sv", "Resultatlista"], ["es", "Clasificación"], ["en", "Ranking"]]) {
      await page.goto(broker.pageUrl("?lang=" + lang), { waitUntil: "load" });
      assert.equal(await page.$eval("#nav-ranking", (e) => e.textContent), word);
      assert.equal(await page.evaluate(() => document.documentElement.lang), lang);
    }
  });

  await t.test("the spectator cannot publish, and a page with a wrong password says so", async () => {
    const refused = await page.evaluate(
      (range) =>
        new Promise((resolve) => {
          const c = window.mqtt.connect("ws://" + location.host, { username: "spectator", password: "spectator", protocolVersion: 5 });
          c.on("connect", () =>
            c.publish(`zark/v1/${range}/L01/shot`, '{"v":1}', { qos: 1 }, (err) => {
              c.end(true);
              resolve(err ? { code: err.code, message: err.message } : null);
            }),
          );
        }),
      RANGE,
    );
    assert.ok(refused, "the broker took the spectator's message");
    assert.equal(refused.code, 135); // not authorised
    await page.goto(broker.pageUrl("?password=wrong"), { waitUntil: "load" });
    await page.waitForFunction(() => document.getElementById("status").dataset.status === "refused", { timeout: 5000 });
    assert.equal(await page.$$eval(".tile", (t) => t.length), 0);
    await page.goto(broker.pageUrl(""), { waitUntil: "load" });
  });

  await t.test("the page reconnects by itself after the broker was away", async () => {
    await page.setViewport({ width: 1920, height: 1080 });
    await page.waitForFunction(() => document.querySelectorAll(".tile").length === 20, { timeout: 10000 });
    await broker.stop();
    await page.waitForFunction(() => document.getElementById("status").dataset.status === "reconnecting", { timeout: 10000 });
    await broker.start();
    await page.waitForFunction(() => document.getElementById("status").dataset.status === "connected", { timeout: 15000 });
    const lane = lanes[4];
    await page.waitForFunction(() => document.querySelectorAll(".tile").length === 20, { timeout: 10000 });
    await sleep(300); // the lane's own client is back too
    const shot = lane.shot(0, 0, 10);
    await page.waitForFunction((key) => document.querySelector('.tile[data-lane="L05"]').dataset.shown === key,
      { timeout: 5000 }, `${shot.series}:${shot.n}`);
  });

  assert.deepEqual(errors, []);
});
