// Simulated lanes for the page's tests: each is an MQTT client of its own that publishes what a
// lane publishes (retained face and state with its last will, the trace every 200 ms, shots).
"use strict";

const mqtt = require("mqtt");

// A face of ten rings, 1 to 3 white and 4 to 10 black, as a lane describes it.
function tenRingFace() {
  const rings = [];
  for (let k = 0; k < 10; k++)
    rings.push({ r: 500 - 48 * k, colour: k < 3 ? "#ffffff" : "#000000", value: k + 1, label: k < 8 ? String(k + 1) : "" });
  return { id: 1100, name: "Air rifle 10 m", kind: 0, refRadius: 1, refDiameter: 1, viewWidth: 1694, bulletRadius: 20, picture: false, rings };
}

class SimLane {
  constructor(url, range, name, password) {
    this.url = url;
    this.range = range;
    this.name = name;
    this.password = password;
    this.series = name + "-1";
    this.fired = 0;
    this.due = 10;
    this.total = 0;
    this.shooter = "Shooter " + name;
    this.sample = 0;
    this.shots = [];
  }

  topic(kind) {
    return `zark/v1/${this.range}/${this.name}/${kind}`;
  }

  start() {
    this.client = mqtt.connect(this.url, {
      username: this.name,
      password: this.password,
      clientId: `lane-${this.range}-${this.name}`,
      reconnectPeriod: 200,
      will: { topic: this.topic("state"), payload: JSON.stringify({ v: 1, lane: this.name, online: false }), qos: 1, retain: true },
    });
    // after every (re)connect: the last will stands in for the state, so it goes out again
    this.client.on("connect", () => {
      this.client.publish(this.topic("face"), JSON.stringify({ v: 1, faces: [tenRingFace()] }), { qos: 1, retain: true });
      this.publishState();
    });
    this.timer = setInterval(() => this.publishTrace(), 200);
    return new Promise((resolve) => this.client.once("connect", resolve));
  }

  publishState(online) {
    const state = {
      v: 1, lane: this.name, shooter: this.shooter, face: 1100, faceName: "Air rifle 10 m", run: "series",
      series: this.series, fired: this.fired, due: this.due, total: String(Math.round(this.total * 10) / 10), version: "test",
      online: online !== false, shots: this.shots.map((s) => [s.x, s.y, s.index, 0]),
    };
    this.client.publish(this.topic("state"), JSON.stringify(state), { qos: 1, retain: true });
  }

  // Five aim points a message, circling the middle.
  publishTrace() {
    if (!this.client.connected) return;
    const points = [];
    for (let i = 0; i < 5; i++, this.sample++) {
      const a = this.sample / 12;
      points.push([Math.round(120 * Math.cos(a)), Math.round(90 * Math.sin(a * 1.3))]);
    }
    const first = this.sample - points.length;
    this.client.publish(this.topic("trace"), JSON.stringify({ v: 1, series: this.series, first, points }), { qos: 0 });
  }

  // Publishes the next shot; resolves once it was handed to the client (not waiting for the ack).
  shot(x, y, score) {
    this.fired++;
    this.total += score;
    const shot = {
      v: 1, series: this.series, n: this.fired, x, y, index: this.sample, side: 0, score, text: String(score),
      direction: 3, time: this.fired * 4.5, sighter: false, late: false,
    };
    this.shots.push(shot);
    this.client.publish(this.topic("shot"), JSON.stringify(shot), { qos: 1 });
    this.publishState();
    return shot;
  }

  stop() {
    clearInterval(this.timer);
    return new Promise((resolve) => this.client.end(true, {}, resolve));
  }
}

module.exports = { SimLane, tenRingFace };
