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

class TestBroker {
  // users: { name: password }; acl: the ACL file's text.
  constructor(dir, pageDir, users, acl) {
    this.dir = dir;
    this.pageDir = pageDir;
    this.users = users;
    this.acl = acl;
    this.process = null;
  }

  async configure() {
    this.mqttPort = await freePort();
    this.wsPort = await freePort();
    const passwords = path.join(this.dir, "passwords");
    fs.writeFileSync(passwords, "");
    for (const [user, password] of Object.entries(this.users))
      execFileSync("mosquitto_passwd", ["-b", passwords, user, password]);
    fs.writeFileSync(path.join(this.dir, "acl"), this.acl);
    // The page's listener as shipped, on the test's port and with the page of the build.
    const shipped = fs.readFileSync(path.join(__dirname, "../../range/page.conf"), "utf8");
    const pageListener = shipped
      .replace(/^listener 8080$/m, `listener ${this.wsPort} 127.0.0.1`)
      .replace(/^http_dir .*$/m, `http_dir ${this.pageDir}`);
    if (!pageListener.includes(String(this.wsPort)) || !pageListener.includes(this.pageDir))
      throw new Error("range/page.conf has no listener 8080 with an http_dir");
    this.config = path.join(this.dir, "mosquitto.conf");
    fs.writeFileSync(
      this.config,
      [
        "allow_anonymous false",
        `password_file ${passwords}`,
        `acl_file ${path.join(this.dir, "acl")}`,
        "persistence false",
        `listener ${this.mqttPort} 127.0.0.1`,
        pageListener,
      ].join("\n"),
    );
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
