// One game played in the page with real key presses and a game controller plugged in on the
// way: the page never scrolls under the game, switching away pauses play as it does natively,
// and the run's recording plays back in the native game to the very same trace.
import assert from "node:assert/strict";
import { after, before, test } from "node:test";
import { browser, join, open, readFileSync, readPageFile, runNative, scratch, serve,
         waitForState, withoutPaths, writeFileSync } from "./support.mjs";

const lastFrame = 560;
let server, chrome, page, scrollable, scrolled, blurredAt, trace, recording;

// Waits until the page has shown `frame`; returns the frame it shows then.
async function untilFrame(frame) {
  await page.waitForFunction((f) => window.parapet.module.frame >= f, frame, { timeout: 60000 });
  return page.evaluate(() => window.parapet.module.frame);
}

async function pressAt(frame, key) {
  await untilFrame(frame);
  await page.keyboard.press(key);
}

before(async () => {
  server = await serve(scratch());
  chrome = await browser();
  // Short enough that the controls below the game make the page scroll.
  page = await open(chrome, `${server.url}?frames=${lastFrame}&trace=t.jsonl&record=run.replay`,
                    { width: 640, height: 420 });
  await page.waitForFunction(() => window.parapet.module);
  await page.keyboard.press("KeyX");
  await pressAt(290, "Space");  // the title can be skipped from here
  // A pad in the browser's third slot; the first holds one that was pulled out.
  await page.evaluate(() => {
    const buttons = Array.from({ length: 17 }, () => ({ pressed: false, value: 0 }));
    const pad = { id: "pad", index: 2, connected: true, mapping: "standard", timestamp: 0,
                  axes: [0, 0, 0, 0], buttons };
    const gone = { ...pad, index: 0, connected: false };
    window.testPad = pad;
    navigator.getGamepads = () => [gone, null, pad, null];
  });
  await pressAt(300, "ShiftRight");  // the menu's Start
  for (const key of ["ArrowDown", "Space", "ArrowLeft", "ShiftRight"]) await pressAt(500, key);
  for (const pressed of [true, false]) {  // the d-pad's left, held for a few frames
    const frame = await page.evaluate((p) => {
      window.testPad.buttons[14].pressed = p;
      return window.parapet.module.frame;
    }, pressed);
    await untilFrame(frame + 4);
  }
  scrollable = await page.evaluate(() => document.documentElement.scrollHeight > innerHeight);
  scrolled = await page.evaluate(() => window.scrollY);
  blurredAt = await page.evaluate(() => {
    window.dispatchEvent(new FocusEvent("blur"));
    return window.parapet.module.frame;
  });
  await waitForState(page, "ended");
  assert.equal(await page.evaluate(() => window.parapet.status), 0, page.log.join("\n"));
  trace = await readPageFile(page, "/tmp/t.jsonl");
  recording = await readPageFile(page, "/tmp/run.replay");
});
after(async () => {
  await chrome.close();
  server.close();
});

test("arrow keys and Space move the game, not the page", () => {
  assert.ok(scrollable);
  assert.equal(scrolled, 0);
});

test("switching away pauses play until the player resumes", () => {
  const events = trace.trim().split("\n").map((line) => JSON.parse(line));
  assert.ok(events.some((e) => e.event === "state" && e.to === 60), "play never began");
  const pause = events.find((e) => e.event === "pause");
  assert.ok(pause && pause.frame > blurredAt && pause.frame <= blurredAt + 3, trace);
  assert.ok(!events.some((e) => e.event === "resume"));
});

test("a controller plugged in during the run plays as the first joystick", () => {
  // Player 1 runs left (direction 4) with the stick, and stops.
  assert.match(recording, /^\d+ p0 [0-9a-f]+ [0-9a-f]+ 4$/m);
  assert.match(recording, /^\d+ p0 [0-9a-f]+ [0-9a-f]+ 0$/m);
});

test("the page's recording plays back natively to the page's own trace", () => {
  const dir = scratch();
  writeFileSync(join(dir, "run.replay"), recording);
  runNative(dir, ["--replay", join(dir, "run.replay"), "--trace", join(dir, "t.jsonl")]);
  assert.equal(withoutPaths(readFileSync(join(dir, "t.jsonl"), "utf8")), withoutPaths(trace));
});
