// The deterministic game (?headless, as `parapet --headless`) compiled for the browser plays
// exactly as the native one: the stored autopilot game gives the stored trace and record, the
// record outlives a reload, a recording plays back to the native playback's trace, and a
// settings file rebinds the same keys.
import assert from "node:assert/strict";
import { copyFileSync } from "node:fs";
import { after, before, test } from "node:test";
import { browser, join, open, readFileSync, readPageFile, runNative, scratch, serve, testData,
         waitForState, withoutPaths, writeFileSync } from "./support.mjs";

const frames = "12000";  // the stored game's length
let dir, server, chrome;
before(async () => {
  dir = scratch();
  copyFileSync(join(testData, "replay_input.txt"), join(dir, "input.txt"));
  server = await serve(dir);
  chrome = await browser();
});
after(async () => {
  await chrome.close();
  server.close();
});

async function runInPage(query) {
  const page = await open(chrome, `${server.url}?headless&${query}&trace=t.jsonl`);
  await waitForState(page, "ended", 180000);
  assert.equal(await page.evaluate(() => window.parapet.status), 0, page.log.join("\n"));
  return page;
}

const savedRecords = (page) => page.evaluate(async () => {
  await window.parapet.savesKept?.();
  return Array.from(window.parapet.module.FS.readFile("/save/gx.raw"));
});

test("the stored game gives the stored trace, and its record outlives a reload", async () => {
  const page = await runInPage(`input=/files/input.txt&frames=${frames}`);
  const golden = readFileSync(join(testData, "replay_trace.jsonl"), "utf8");
  assert.equal(withoutPaths(await readPageFile(page, "/tmp/t.jsonl")), golden);

  runNative(join(dir, "native"), ["--input", join(dir, "input.txt"), "--frames", frames]);
  const native = [...readFileSync(join(dir, "native", "save", "gx.raw"))];
  assert.deepEqual(await savedRecords(page), native);
  await page.goto(server.url);
  await page.waitForFunction(() => window.parapet.module);
  assert.deepEqual(await savedRecords(page), native);
});

test("a stored recording plays in the page to the native playback's trace", async () => {
  const recorded = join(dir, "recorded");
  runNative(recorded, ["--input", join(dir, "input.txt"), "--frames", frames,
                       "--record", join(dir, "game.replay")]);
  runNative(recorded, ["--replay", join(dir, "game.replay"), "--trace", join(recorded, "t.jsonl")]);
  const page = await runInPage("replay=/files/game.replay");
  assert.equal(withoutPaths(await readPageFile(page, "/tmp/t.jsonl")),
               withoutPaths(readFileSync(join(recorded, "t.jsonl"), "utf8")));
});

test("a settings file rebinds the keys in the page as it does natively", async () => {
  writeFileSync(join(dir, "keys.ini"), "[player1]\nfire = k\n");
  writeFileSync(join(dir, "start.txt"), "290 tap SPACE\n300 tap K\n");  // skip the title, Start
  const page = await runInPage("config=/files/keys.ini&input=/files/start.txt&frames=400");
  const trace = await readPageFile(page, "/tmp/t.jsonl");
  assert.match(trace, /"from":15,"to":30/, "K did not start the game");
  const native = join(dir, "keys");
  runNative(native, ["--config", join(dir, "keys.ini"), "--input", join(dir, "start.txt"),
                     "--frames", "400", "--trace", join(native, "t.jsonl")]);
  assert.equal(trace, readFileSync(join(native, "t.jsonl"), "utf8"));
});
