// The page in Chromium as a player meets it: the poster and its overlay, the title and the
// menu pixel for pixel as the native game draws them, the download a first visit costs.
import assert from "node:assert/strict";
import { after, before, test } from "node:test";
import { bmpRgb, browser, canvasFrame, join, open, runNative, scratch, serve, waitForState }
  from "./support.mjs";

let server, chrome;
before(async () => {
  server = await serve(scratch());
  chrome = await browser();
});
after(async () => {
  await chrome.close();
  server.close();
});

test("a key on the overlay starts the game; its title and menu are the native pictures", async () => {
  const page = await open(chrome, `${server.url}?frames=370`);
  await page.waitForFunction(() => window.parapet.module);
  assert.ok(server.bytesSent <= 10e6, `a first visit downloads ${server.bytesSent} bytes`);
  assert.match(await page.textContent("#message"), /press a key to play/);
  await page.keyboard.press("KeyX");
  const shots = [];
  for (const frame of [200, 360]) {  // the title, then the menu
    await page.waitForFunction((f) => window.parapet.module.frame >= f, frame, { timeout: 30000 });
    shots.push(await canvasFrame(page));
  }
  await waitForState(page, "ended");
  assert.equal(await page.evaluate(() => window.parapet.status), 0, page.log.join("\n"));

  const dir = scratch();
  runNative(dir, ["--frames", "370", "--screenshot-at", shots.map((s) => s.frame).join(",")]);
  for (const { frame, rgb } of shots) {
    const native = bmpRgb(join(dir, "shots", `frame-${frame}.bmp`));
    assert.ok(native.equals(rgb), `the canvas differs from the native frame ${frame}`);
  }
});
