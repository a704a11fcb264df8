// Measures the web page at scale in headless Chromium, in real time: writes
// an animation of 10,000 frames of FRAME_BYTES (1 KB unless given; 32000 is
// the largest, a page of about 427 MB; Shift-JIS text, both layouts) into a
// temporary directory, makes its pages with zoetrix-cli, and for each page
// reports its size against the animation's, the time until the player is
// ready, and how playback at 30 ms keeps pace over PLAY_MS.
//
//   node bench/page_bench.js [build/native/cli/zoetrix-cli] [PLAY_MS] [FRAME_BYTES]
//
// Needs Node.js and Chromium. The figures are wall-clock times: take them on
// a quiet machine.
"use strict";
const { spawn, execFileSync } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const cli = path.resolve(process.argv[2] || "build/native/cli/zoetrix-cli");
const playMs = +(process.argv[3] || 20000);
const frameBytes = +(process.argv[4] || 1024);
const dir = fs.mkdtempSync(path.join(os.tmpdir(), "zoetrix-page-bench-"));

// Frames of frameBytes: numbered lines of half-width katakana and ASCII
// (one byte each in Shift-JIS), every 500th frame with a colour header.
function frame(n) {
  const kana = Buffer.from([0xb1, 0xb2, 0xb3, 0xb4, 0xb5, 0xdc, 0xdd]);
  const lines = [];
  for (let i = 0, size = 0; size < frameBytes; i++) {
    const line = Buffer.alloc(30, 0x20);
    line.write(String(n).padStart(5, "0") + " " + String(i).padStart(2, "0"));
    for (let j = 10; j < 30; j++) line[j] = kana[(n * 7 + i * 3 + j) % kana.length];
    lines.push(line, Buffer.from("\r\n"));
    size += 32;
  }
  const header = n % 500 === 0 ? Buffer.from(`{\r\ncolor\r\n${n % 256} 0 128 255 255 255\r\n}\r\n`) : Buffer.alloc(0);
  return Buffer.concat([header, ...lines]).subarray(0, frameBytes);
}

const blocks = [];
for (let n = 0; n < 10000; n++) {
  const text = frame(n);
  fs.writeFileSync(path.join(dir, `big${String(n).padStart(4, "0")}.txt`), text);
  blocks.push(Buffer.from(`${String(n).padStart(4, "0")}\r\n`), text, Buffer.from("\r\n[end]\r\n"));
}
fs.writeFileSync(path.join(dir, "big.txt"), Buffer.concat(blocks));
const animationBytes = { frames: 10000 * frameBytes, "all-in-one": fs.statSync(path.join(dir, "big.txt")).size };

// One Chromium with its DevTools protocol on a pipe; one tab per page.
const chrome = spawn("chromium", ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
  "--disable-component-update", "--disable-sync", "--no-first-run", `--user-data-dir=${path.join(dir, "profile")}`,
  "--remote-debugging-pipe", "about:blank"], { stdio: ["ignore", "ignore", "ignore", "pipe", "pipe"] });
let nextId = 0, received = "";
const waiting = new Map();
chrome.stdio[4].on("data", (data) => {
  received += data;
  for (let end; (end = received.indexOf("\0")) >= 0; received = received.slice(end + 1)) {
    const message = JSON.parse(received.slice(0, end));
    if (waiting.has(message.id)) waiting.get(message.id)(message.result);
  }
});
function send(method, params, sessionId) {
  return new Promise((resolve) => {
    waiting.set(++nextId, resolve);
    chrome.stdio[3].write(JSON.stringify({ id: nextId, method, params, sessionId }) + "\0");
  });
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function measure(layout) {
  const page = path.join(dir, `big-${layout}.html`);
  const started = Date.now();
  execFileSync(cli, ["html", path.join(dir, "big.txt"), "--layout", layout, "-o", page]);
  const writeMs = Date.now() - started;
  const { targetId } = await send("Target.createTarget", { url: "about:blank" });
  const { sessionId } = await send("Target.attachToTarget", { targetId, flatten: true });
  await send("Page.navigate", { url: `file://${page}#speed=30&play` }, sessionId);
  await sleep(playMs);
  const { result } = await send("Runtime.evaluate", {
    returnByValue: true,
    expression: `({ ready: +document.body.dataset.ready, frame: +document.getElementById("number").value,
                    lateMost: +(document.body.dataset.lateMost || 0), now: performance.now() })`,
  }, sessionId);
  const r = result.value;
  const size = fs.statSync(page).size;
  const due = Math.floor((r.now - r.ready) / 30);
  console.log(`${layout.padEnd(10)} written in ${writeMs} ms; ${size} bytes = animation x ${(size / animationBytes[layout]).toFixed(3)}; ` +
              `ready after ${Math.round(r.ready)} ms; after ${Math.round(r.now - r.ready)} ms at 30 ms: frame ${r.frame} ` +
              `(due about ${due}), latest tick ${Math.round(r.lateMost)} ms late`);
  await send("Target.closeTarget", { targetId });
}

(async () => {
  try {
    await measure("frames");
    await measure("all-in-one");
  } finally {
    chrome.kill();
    fs.rmSync(dir, { recursive: true, force: true });
  }
})();
