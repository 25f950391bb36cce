// Shared by the browser tests: a static server for the page and the test's own files, the
// system's Chromium driven by playwright-core, and the native game to compare with.
import { spawnSync } from "node:child_process";
import { createReadStream, mkdirSync, mkdtempSync, readFileSync, rmSync, statSync,
         writeFileSync } from "node:fs";
import { createServer } from "node:http";
import { tmpdir } from "node:os";
import { extname, join, normalize } from "node:path";
import { chromium } from "playwright-core";

export const nativeBuild = process.env.PARAPET_BUILD ?? new URL("../../build", import.meta.url).pathname;
export const webBuild = process.env.PARAPET_WEB ?? new URL("../../build-web", import.meta.url).pathname;
export const testData = new URL("../data/", import.meta.url).pathname;

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
                 ".wasm": "application/wasm", ".png": "image/png", ".gz": "application/gzip" };

// Serves the web build at / and `dir` at /files/; counts the bytes sent.
export async function serve(dir) {
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, "http://x").pathname);
    const file = path.startsWith("/files/") ? join(dir, normalize(path.slice(7)))
                                            : join(webBuild, normalize(path === "/" ? "index.html" : path));
    let size;
    try {
      size = statSync(file).size;
    } catch {
      response.writeHead(404).end();
      return;
    }
    server.bytesSent += size;
    response.writeHead(200, { "Content-Type": types[extname(file)] ?? "application/octet-stream",
                              "Content-Length": size, "Cache-Control": "no-store" });
    createReadStream(file).pipe(response);
  });
  server.bytesSent = 0;
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  server.url = `http://127.0.0.1:${server.address().port}/`;
  return server;
}

export async function browser() {
  return chromium.launch({ executablePath: "/usr/bin/chromium",
                           args: ["--no-sandbox", "--disable-gpu"] });
}

// A page in a fresh profile, with its console kept for a failure's message.
export async function open(browserInstance, url, viewport = { width: 800, height: 640 }) {
  const context = await browserInstance.newContext({ viewport });
  const page = await context.newPage();
  page.log = [];
  page.on("console", (message) => page.log.push(message.text()));
  page.on("pageerror", (error) => page.log.push(String(error)));
  await page.goto(url);
  return page;
}

export const waitForState = (page, state, timeout = 60000) =>
  page.waitForFunction((s) => window.parapet.state === s, state, { timeout });

export const readPageFile = (page, path) =>
  page.evaluate((p) => window.parapet.module.FS.readFile(p, { encoding: "utf8" }), path);

// Scratch directories, gone when the test file's process ends.
const scratchDirs = [];
process.on("exit", () => scratchDirs.forEach((d) => rmSync(d, { recursive: true, force: true })));
export function scratch() {
  scratchDirs.push(mkdtempSync(join(tmpdir(), "parapet-web-")));
  return scratchDirs.at(-1);
}

// Runs the native game headless in `dir` (save/ and shots/ there); returns its status.
export function runNative(dir, args) {
  mkdirSync(dir, { recursive: true });
  const result = spawnSync(join(nativeBuild, "parapet"),
    ["--headless", "--data", join(nativeBuild, "data"), "--save-dir", join(dir, "save"),
     "--screenshot-dir", join(dir, "shots"), "--config", join(dir, "none.ini"), ...args],
    { encoding: "utf8" });
  if (result.status !== 0) throw new Error(`native run failed (${result.status}): ${result.stderr}`);
  return result;
}

// A 24-bit BMP's pixels as R, G, B rows from the top, the way a canvas reads.
export function bmpRgb(path) {
  const data = readFileSync(path);
  const offset = data.readUInt32LE(10), width = data.readInt32LE(18), height = data.readInt32LE(22);
  const stride = (width * 3 + 3) & ~3, rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; ++y) {
    const row = offset + (height - 1 - y) * stride;
    for (let x = 0; x < width; ++x) {
      const at = (y * width + x) * 3;
      rgb[at] = data[row + x * 3 + 2];
      rgb[at + 1] = data[row + x * 3 + 1];
      rgb[at + 2] = data[row + x * 3];
    }
  }
  return rgb;
}

// The canvas (R, G, B bytes) and the number of the frame it shows, read in one go.
export async function canvasFrame(page) {
  const { frame, rgb } = await page.evaluate(() => {
    const canvas = document.getElementById("screen");
    const rgba = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    let text = "";
    for (let i = 0; i < rgba.length; i += 4) text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
    return { frame: window.parapet.module.frame, rgb: btoa(text) };
  });
  return { frame, rgb: Buffer.from(rgb, "base64") };
}

// Trace lines with file paths blanked, as the stored golden trace has them.
export const withoutPaths = (trace) => trace.replace(/"path":"[^"]*"/g, '"path":""');

export { writeFileSync, readFileSync, join };
