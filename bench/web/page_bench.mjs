// The page on localhost (make bench-web): what a first visit downloads, how soon the first
// picture (the poster) is painted and the game is ready to start, and the frames per second
// of the game's step compiled for the browser (wasm, in Chromium) against the native one on
// the stored autopilot game, headless, as fast as each goes.
import { spawnSync } from "node:child_process";
import { browser, join, nativeBuild, open, scratch, serve, testData, waitForState }
  from "../../tests/web/support.mjs";

const frames = 12000;
const rounds = 3;
const best = (times) => Math.min(...times);

const server = await serve(testData);
const chrome = await browser();
const first = await open(chrome, server.url);
await first.waitForFunction(() => window.parapet.module);
const { paint, ready } = await first.evaluate(() => ({
  paint: performance.getEntriesByName("first-contentful-paint")[0].startTime,
  ready: performance.now(),
}));
console.log(`first visit: ${(server.bytesSent / 1e6).toFixed(2)} MB, first picture after ` +
            `${Math.round(paint)} ms, ready to play after ${Math.round(ready)} ms`);
await first.context().close();

const wasm = [];
for (let i = 0; i < rounds; ++i) {
  const page = await open(chrome, `${server.url}?headless&input=/files/replay_input.txt&frames=${frames}`);
  await waitForState(page, "ended", 300000);
  wasm.push(await page.evaluate(() => window.parapet.mainMillis));
  await page.context().close();
}
await chrome.close();
server.close();

const native = [];
for (let i = 0; i < rounds; ++i) {
  const dir = scratch();
  const start = process.hrtime.bigint();
  spawnSync(join(nativeBuild, "parapet"), ["--headless", "--data", join(nativeBuild, "data"),
    "--save-dir", dir, "--input", join(testData, "replay_input.txt"), "--frames", `${frames}`]);
  native.push(Number(process.hrtime.bigint() - start) / 1e6);
}
const rate = (ms) => Math.round(frames / (ms / 1000));
console.log(`${frames} frames, best of ${rounds}: wasm ${rate(best(wasm))} frames/s, ` +
            `native ${rate(best(native))} frames/s (wasm at ${(best(native) / best(wasm) * 100).toFixed(0)}%)`);
