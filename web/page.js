// The page around the game: unpacks the data, keeps the save directory in IndexedDB, waits
// for the click or key that browsers require before sound, and hands over to the game.
"use strict";

(() => {
  const $ = (id) => document.getElementById(id);
  const game = $("game");
  const canvas = $("screen");
  const message = $("message");
  const detail = $("detail");
  const errors = [];
  // What tests and curious players can look at: the state, the exit status, the module.
  const page = (window.parapet = { state: "loading", status: null, errors, module: null });

  const say = (text, more = "") => {
    message.textContent = text;
    detail.textContent = more;
    $("overlay").hidden = false;
  };

  // The address may pass the game a few of its options (see README, "Play in a browser"):
  // flags, numbers and files fetched beside the page. Output goes to /tmp, in memory only,
  // so no address can write over a player's saves.
  const OPTIONS = {
    headless: "flag", "trace-input": "flag", stats: "flag",
    frames: "value", "start-tick": "value", joysticks: "value",
    input: "fetch", replay: "fetch", config: "fetch", trace: "output", record: "output",
  };
  const baseName = (path) => path.split("/").pop().replace(/[^\w.-]/g, "_") || "file";

  async function commandLine(FS) {
    const args = [];
    for (const [name, value] of new URLSearchParams(location.search)) {
      const kind = OPTIONS[name];
      if (!kind) {
        console.warn(`parapet: the address's '${name}' is not an option of the page; ignored`);
        continue;
      }
      if (kind === "flag") {
        args.push(`--${name}`);
      } else if (kind === "value") {
        args.push(`--${name}=${value}`);
      } else if (kind === "output") {
        args.push(`--${name}=/tmp/${baseName(value)}`);
      } else {
        const response = await fetch(value);
        if (!response.ok) throw new Error(`cannot fetch ${value} (${response.status})`);
        const path = `/tmp/${baseName(value)}`;
        FS.writeFile(path, new Uint8Array(await response.arrayBuffer()));
        args.push(`--${name}=${path}`);
      }
    }
    return args;
  }

  // The data ships as one gzipped tar file; the browser unpacks it as it arrives.
  async function fetchData() {
    const response = await fetch("parapet-data.tar.gz");
    if (!response.ok) throw new Error(`cannot fetch the game's data (${response.status})`);
    const unpacked = response.body.pipeThrough(new DecompressionStream("gzip"));
    return new Uint8Array(await new Response(unpacked).arrayBuffer());
  }

  function untar(bytes, FS, root) {
    const text = (from, length) =>
      new TextDecoder().decode(bytes.subarray(from, from + length)).replace(/\0.*$/s, "");
    for (let at = 0; at + 512 <= bytes.length; ) {
      const name = text(at, 100);
      if (!name) break;
      const size = parseInt(text(at + 124, 12).trim() || "0", 8);
      const type = String.fromCharCode(bytes[at + 156]);
      const path = `${root}/${name.replace(/\/$/, "")}`;
      at += 512;
      if (type === "5") FS.mkdirTree(path);
      else if (type === "0" || type === "\0") FS.writeFile(path, bytes.subarray(at, at + size));
      at += Math.ceil(size / 512) * 512;
    }
  }

  // Every file written, renamed or removed below /save reaches IndexedDB after the frame
  // that did it, so a record survives a reload or a closed tab.
  function keepSaves(module) {
    const FS = module.FS;
    let dirty = false;
    let syncing = null;
    const underSave = (path) => typeof path === "string" && path.startsWith("/save/");
    for (const name of ["rename", "unlink", "rmdir", "mkdir"]) {
      const original = FS[name];
      FS[name] = (...args) => {
        if (args.some(underSave)) dirty = true;
        return original.apply(FS, args);
      };
    }
    const close = FS.close;
    FS.close = (stream) => {
      if (underSave(stream.path) && (stream.flags & 3) !== 0) dirty = true;
      return close.call(FS, stream);
    };
    const sync = () => {
      if (!dirty || syncing) return syncing;
      dirty = false;
      syncing = new Promise((resolve) =>
        FS.syncfs(false, (error) => {
          if (error) console.error("parapet: saving to IndexedDB failed", error);
          syncing = null;
          resolve(sync());
        }));
      return syncing;
    };
    module.syncSaves = sync;
    page.savesKept = () => sync() || Promise.resolve();
  }

  async function load() {
    const [module, data] = await Promise.all([
      createParapet({
        canvas,
        print: (line) => console.log(line),
        printErr: (line) => {
          errors.push(line);
          console.warn(line);
        },
      }),
      fetchData(),
    ]);
    const FS = module.FS;
    FS.mkdir("/data");
    untar(data, FS, "/data");
    FS.mkdir("/save");
    FS.mount(FS.filesystems.IDBFS, {}, "/save");
    await new Promise((resolve) => FS.syncfs(true, (error) => {
      if (error) console.warn("parapet: no saved games could be read", error);
      resolve();
    }));
    keepSaves(module);
    page.module = module;
    return { module, args: await commandLine(FS) };
  }

  function ended(status) {
    page.state = "ended";
    page.status = status;
    if (page.audioContext) page.audioContext.close();
    const why = status === 0 ? "" : errors.slice(-3).join("\n");
    say(status === 0 ? "The game has ended. Click or press a key to play again."
                     : "The game stopped.", why);
    const again = (event) => {
      if (event.type === "keydown" && !playKey(event)) return;
      location.reload();
    };
    setTimeout(() => {
      window.addEventListener("keydown", again, { once: true });
      game.addEventListener("click", again, { once: true });
    }, 500);
  }

  function run({ module, args }) {
    page.state = "running";
    $("overlay").hidden = true;
    module.onRunEnded = ended;
    const start = performance.now();
    const status = module.callMain(args);
    page.mainMillis = performance.now() - start;  // a headless run's whole length
    if (status !== 0 || args.includes("--headless")) ended(status);
  }

  // Sound may start only inside the player's own click or key press.
  function makeAudio() {
    const AudioContext = window.AudioContext || window.webkitAudioContext;
    try {
      page.audioContext = AudioContext ? new AudioContext() : null;
    } catch (error) {
      page.audioContext = null;
    }
    if (!page.audioContext) {
      $("notice").textContent = "This browser offers no sound to pages: the game plays silently.";
    }
  }

  // Function keys and the browser's own shortcuts stay the browser's.
  const playKey = (event) => !(event.ctrlKey || event.metaKey || /^F\d+$/.test(event.key));

  if (typeof WebAssembly !== "object" || typeof DecompressionStream !== "function") {
    say("This browser cannot run the game.",
        "Parapet needs WebAssembly and DecompressionStream: any current Chrome, Firefox, Edge or Safari has them.");
    page.state = "unsupported";
    return;
  }

  const loading = load();
  loading.catch((error) => {
    page.state = "failed";
    say("The game could not be loaded.", String(error.message || error));
  });
  const headless = new URLSearchParams(location.search).has("headless");
  if (headless) {
    loading.then(run);
  } else {
    const start = (event) => {
      if (event.type === "keydown" && !playKey(event)) return;
      // The key that starts the game is not also a key press in it.
      event.preventDefault();
      event.stopImmediatePropagation();
      window.removeEventListener("keydown", start, true);
      game.removeEventListener("click", start);
      makeAudio();
      say("Loading…");
      loading.then((loaded) => {
        loaded.module.audioContext = page.audioContext;
        run(loaded);
      });
    };
    window.addEventListener("keydown", start, true);
    game.addEventListener("click", start);
  }

  const toggleFullscreen = () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else game.requestFullscreen().catch(() => {});
  };
  loading.then(({ module }) => (module.toggleFullscreen = toggleFullscreen));
  const button = $("fullscreen");
  button.addEventListener("mousedown", (event) => event.preventDefault());
  button.addEventListener("click", toggleFullscreen);
  // Whatever is clicked, the keys go on to the game.
  document.addEventListener("mousedown", () => window.focus());
})();
