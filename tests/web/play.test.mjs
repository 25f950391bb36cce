// One game played in the page with real key presses: the page never scrolls under the game,
// switching away pauses play as it does natively, and the run's recording plays back in the
// native game to the very same trace.
import assert from "node:assert/strict";
import { after, before, test } from "node:test";
import { browser, join, open, readFileSync, readPageFile, runNative, scratch, serve,
         waitForState, withoutPaths, writeFileSync } from "./support.mjs";

const lastFrame = 560;
let server, chrome, page, scrolled, blurredAt, trace, recording;

// Presses `key` once the page has shown `frame`; returns the frame it was pressed in.
async function pressAt(frame, key) {
  await page.waitForFunction((f) => window.parapet.module.frame >= f, frame, { timeout: 60000 });
  await page.keyboard.press(key);
  return page.evaluate(() => window.parapet.module.frame);
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
  await pressAt(300, "ShiftRight");  // the menu's Start
  for (const key of ["ArrowDown", "Space", "ArrowLeft", "ShiftRight"]) await pressAt(500, key);
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
  assert.equal(scrolled, 0);
});

test("switching away pauses play until the player resumes", () => {
  const events = trace.trim().split("\n").map((line) => JSON.parse(line));
  assert.ok(events.some((e) => e.event === "state" && e.to === 60), "play never began");
  const pause = events.find((e) => e.event === "pause");
  assert.ok(pause && pause.frame > blurredAt && pause.frame <= blurredAt + 3, trace);
  assert.ok(!events.some((e) => e.event === "resume"));
});

test("the page's recording plays back natively to the page's own trace", () => {
  const dir = scratch();
  writeFileSync(join(dir, "run.replay"), recording);
  runNative(dir, ["--replay", join(dir, "run.replay"), "--trace", join(dir, "t.jsonl")]);
  assert.equal(withoutPaths(readFileSync(join(dir, "t.jsonl"), "utf8")), withoutPaths(trace));
});
