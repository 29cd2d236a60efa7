// Draws a lane's face, the trace of the last seconds and the shots onto a canvas.
(function (root) {
  "use strict";

  const TRACE_COLOUR = [0, 150, 255];
  const SHOT_FILL = "rgba(255, 176, 0, 0.95)";
  const SIGHTER_FILL = "rgba(120, 120, 120, 0.7)";
  const LAST_FILL = "#e8102a";

  // The part of the view a canvas shows, in file units: the outer ring with a margin, or the
  // whole view on a face without rings.
  function spanOf(face) {
    if (!face) return 1694;
    let outer = 0;
    for (const r of face.rings) outer = Math.max(outer, r.r);
    return outer > 0 ? Math.min(face.view, outer * 2.2) : face.view;
  }

  // The face without trace and shots, drawn once per face and size.
  const faceImages = new Map();
  function faceImage(face, side, scale, labels) {
    const key = `${face ? face.id + ":" + face.rings.length + ":" + face.view : "none"}:${side}:${labels ? 1 : 0}`;
    let image = faceImages.get(key);
    if (image) return image;
    if (faceImages.size > 40) faceImages.clear();
    image = document.createElement("canvas");
    image.width = image.height = side;
    const ctx = image.getContext("2d");
    const c = side / 2;
    ctx.fillStyle = face ? "#ffffff" : "#f4f4f4";
    ctx.fillRect(0, 0, side, side);
    if (face) {
      if (face.picture && !face.rings.length) {
        // a silhouette face: its outline
        ctx.strokeStyle = "#606060";
        ctx.lineWidth = Math.max(1, side / 200);
        ctx.strokeRect(side * 0.2, side * 0.15, side * 0.6, side * 0.7);
      }
      ctx.lineWidth = Math.max(1, side / 400);
      for (const r of face.rings) {
        ctx.beginPath();
        ctx.arc(c, c, r.r * scale, 0, 2 * Math.PI);
        ctx.fillStyle = r.fill;
        ctx.fill();
        ctx.strokeStyle = r.line;
        ctx.stroke();
      }
      if (labels) drawLabels(ctx, face, c, scale, side);
    }
    faceImages.set(key, image);
    return image;
  }

  // Sizes the canvas to its box at the screen's pixel density; returns its side in pixels.
  function fit(canvas) {
    const ratio = root.devicePixelRatio || 1;
    const side = Math.max(1, Math.floor(Math.min(canvas.clientWidth, canvas.clientHeight) * ratio));
    if (canvas.width !== side || canvas.height !== side) {
      canvas.width = side;
      canvas.height = side;
    }
    return side;
  }

  // Draws everything; now: the clock the trace's times are on. Returns true while the trace
  // still fades, so the caller draws again.
  function draw(canvas, lane, now, options) {
    const side = fit(canvas);
    const ctx = canvas.getContext("2d");
    const face = root.ZarkLanes.faceOf(lane);
    const side2 = face && lane.faces.length > 1 ? lane.faces.indexOf(face) : -1;
    const scale = side / spanOf(face);
    const c = side / 2;
    const px = (x) => c + x * scale;
    const py = (y) => c - y * scale; // y upwards in the file
    ctx.drawImage(faceImage(face, side, scale, options && options.labels), 0, 0);

    // The trace: older points fade out, in a few steps of one path each.
    let fading = false;
    const trace = lane.trace;
    const steps = 6;
    const paths = [];
    for (let k = 0; k < steps; k++) paths.push(new Path2D());
    for (let i = 1; i < trace.length; i++) {
      const a = trace[i - 1];
      const b = trace[i];
      const age = now - b[3];
      if (age >= root.ZarkLanes.TRACE_MS) continue;
      if ((a[0] === 0 && a[1] === 0) || (b[0] === 0 && b[1] === 0)) continue; // no position
      fading = true;
      const path = paths[Math.min(steps - 1, Math.floor((Math.max(0, age) / root.ZarkLanes.TRACE_MS) * steps))];
      path.moveTo(px(a[0]), py(a[1]));
      path.lineTo(px(b[0]), py(b[1]));
    }
    ctx.lineWidth = Math.max(1.5, side / 160);
    ctx.lineCap = "round";
    for (let k = 0; k < steps; k++) {
      ctx.strokeStyle = `rgba(${TRACE_COLOUR[0]},${TRACE_COLOUR[1]},${TRACE_COLOUR[2]},${(1 - k / steps).toFixed(2)})`;
      ctx.stroke(paths[k]);
    }

    // The shots, the last one on top and marked.
    const radius = Math.max(3, (face ? face.bullet : 0) * scale, side / 60);
    const shots = lane.shots;
    const clamp = (v) => Math.min(side - radius, Math.max(radius, v));
    for (let i = 0; i < shots.length; i++) {
      const s = shots[i];
      if (side2 >= 0 && s.side !== side2) continue; // shot at the other face
      const last = i === shots.length - 1;
      const x = clamp(px(s.x));
      const y = clamp(py(s.y));
      ctx.beginPath();
      ctx.arc(x, y, last ? radius * 1.25 : radius, 0, 2 * Math.PI);
      ctx.fillStyle = last ? LAST_FILL : s.sighter ? SIGHTER_FILL : SHOT_FILL;
      ctx.fill();
      ctx.lineWidth = Math.max(1, radius / 4);
      ctx.strokeStyle = last ? "#ffffff" : "#202020";
      ctx.stroke();
    }
    return fading;
  }

  function drawLabels(ctx, face, c, scale, side) {
    const size = Math.max(9, Math.round(side / 45));
    ctx.font = `bold ${size}px "Liberation Sans", Arial, sans-serif`;
    ctx.textAlign = "center";
    ctx.textBaseline = "middle";
    for (let j = 0; j < face.rings.length; j++) {
      const r = face.rings[j];
      if (!r.label) continue;
      const inner = j + 1 < face.rings.length ? face.rings[j + 1].r : 0;
      const m = ((r.r + inner) / 2) * scale;
      if ((r.r - inner) * scale < size) continue;
      ctx.fillStyle = r.line;
      for (const [dx, dy] of [[m, 0], [-m, 0], [0, m], [0, -m]]) ctx.fillText(r.label, c + dx, c + dy);
    }
  }

  root.ZarkFace = { draw: draw, spanOf: spanOf };
})(this);
