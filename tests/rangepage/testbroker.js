// A Mosquitto of the test's own on free loopback ports: MQTT for the simulated lanes and
// WebSockets with the page's http_dir for the browser, users and ACL as a club sets them up.
"use strict";

const { spawn, execFileSync } = require("node:child_process");
const fs = require("node:fs");
const net = require("node:net");
const path = require("node:path");

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on("error", reject);
    server.listen(0, "127.0.0.1", () => {
      const port = server.address().port;
      server.close(() => resolve(port));
    });
  });
}

function portOpen(port) {
  return new Promise((resolve) => {
    const socket = net.connect(port, "127.0.0.1");
    socket.on("connect", () => {
      socket.destroy();
      resolve(true);
    });
    socket.on("error", () => resolve(false));
  });
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

const repository = path.join(__dirname, "../..");

class TestBroker {
  // users: the lines make-users.sh reads ("lane L01 secret", "spectator spectator spectator").
  constructor(dir, pageDir, users) {
    this.dir = dir;
    this.pageDir = pageDir;
    this.users = users;
    this.process = null;
  }

  // The club's configuration as shipped (range/mosquitto.conf with the page's listener,
  // range/page.conf, users and ACL by range/make-users.sh) with the test's folder and ports.
  async configure() {
    this.mqttPort = await freePort();
    this.wsPort = await freePort();
    execFileSync("bash", [path.join(repository, "range/make-users.sh"), this.dir, "club"], { input: this.users.join("\n") + "\n" });
    fs.mkdirSync(path.join(this.dir, "data"), { recursive: true });
    const user = require("node:os").userInfo().username;
    const read = (name) => fs.readFileSync(path.join(repository, "range", name), "utf8");
    const config = (read("mosquitto.conf") + "\n" + read("page.conf"))
      .replaceAll("/etc/mosquitto/zark", this.dir)
      .replace("/var/lib/mosquitto/", path.join(this.dir, "data") + "/")
      .replace(/^user mosquitto$/m, `user ${user}`)
      .replace(/^listener 1883$/m, `listener ${this.mqttPort} 127.0.0.1`)
      .replace(/^listener 8080$/m, `listener ${this.wsPort} 127.0.0.1`)
      .replace(/^http_dir .*$/m, `http_dir ${this.pageDir}`);
    for (const wanted of [String(this.mqttPort), String(this.wsPort), this.pageDir])
      if (!config.includes(wanted)) throw new Error("the shipped configuration has changed: no place for " + wanted);
    this.config = path.join(this.dir, "mosquitto.conf");
    fs.writeFileSync(this.config, config);
  }

  async start() {
    this.log = fs.openSync(path.join(this.dir, "mosquitto.log"), "a");
    this.process = spawn("mosquitto", ["-c", this.config], { stdio: ["ignore", this.log, this.log] });
    for (let i = 0; i < 100; i++) {
      if ((await portOpen(this.mqttPort)) && (await portOpen(this.wsPort))) return;
      if (this.process.exitCode !== null) break;
      await sleep(50);
    }
    throw new Error("the broker did not start: " + fs.readFileSync(path.join(this.dir, "mosquitto.log"), "utf8"));
  }

  async stop() {
    if (!this.process || this.process.exitCode !== null) return;
    const done = new Promise((r) => this.process.once("exit", r));
    this.process.kill("SIGTERM");
    await done;
    fs.closeSync(this.log);
    this.process = null;
  }

  mqttUrl() {
    return `mqtt://127.0.0.1:${this.mqttPort}`;
  }

  pageUrl(query) {
    return `http://127.0.0.1:${this.wsPort}/index.html${query || ""}`;
  }
}

module.exports = { TestBroker, sleep };
