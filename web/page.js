// Lumivaara's page: fetches the assets and the module, plays the demo in step
// with its music, and offers what a viewer expects (Play, full screen, mute,
// a time bar that seeks, keys), with words for every fault.
'use strict';

(() => {
  const TIMELINE_MS = 330000;
  const JUMP_MS = 10000;
  const BAR_SHOWS_MS = 2500;
  const MIN_DRAWABLE = [512, 384];  // the scene region the demo draws into
  const params = new URLSearchParams(location.search);
  const framesHook = params.has('frames');  // tests: frames on request, no sound
  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas');

  // What scripts (and the tests) can read: see `window.lumivaara` below.
  const page = { phase: 'loading', fault: null, notice: null };
  let files = null;      // fetched bytes by path, kept to rebuild after a lost context
  let module = null;     // the Emscripten module
  let player = 0;        // the module's player, a pointer
  let audio = null;      // {ctx, gain, buffer, source}, null on the system clock
  let muted = false;
  let contextLost = false;
  let lostAtMs = null;   // the moment the WebGL context was lost while playing

  function setPhase(phase) {
    page.phase = phase;
    document.body.dataset.phase = phase;
  }

  function showFault(title, text, help) {
    page.fault = `${title}: ${text}`;
    $('fault-title').textContent = title;
    $('fault-text').textContent = text;
    $('fault-help').textContent = help || '';
    for (const id of ['intro', 'end']) $(id).hidden = true;
    $('fault').hidden = false;
    if (player) module._lumivaara_stop(player);
    if (audio) audio.ctx.suspend();
    setPhase('fault');
  }

  const NOTICE_SHOWS_MS = 8000;

  // A fault the demo plays on through: shown over the picture for a while
  // (or until cleared, when `sticky`); scripts keep reading it.
  function showNotice(text, sticky = false) {
    page.notice = text;
    $('notice').textContent = text || '';
    $('notice').hidden = !text;
    if (text && !sticky) {
      setTimeout(() => { if (page.notice === text) $('notice').hidden = true; }, NOTICE_SHOWS_MS);
    }
  }

  // ---- The clock: the music heard, or the system clock without sound ----

  // Seconds of the audio context now being heard: the output timestamp,
  // carried forward on the system clock between the audio's updates.
  function heardSeconds() {
    const ctx = audio.ctx;
    const stamp = ctx.getOutputTimestamp ? ctx.getOutputTimestamp() : null;
    if (!stamp || !stamp.performanceTime) return ctx.currentTime;
    return stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
  }

  const clock = {
    baseMs: 0,
    start: 0,      // heard seconds or performance.now() when baseMs was heard
    lastMs: 0,     // never go back between seeks
    held: false,   // stopped at lastMs (a lost context) until the next set()
    onAudio: false,  // chosen at set(): the music's time, or the system's
    usesAudio() { return audio !== null && audio.ctx.state === 'running'; },
    nowMs() {
      if (this.held) return this.lastMs;
      const elapsed = this.onAudio ? (heardSeconds() - this.start) * 1000
                                       : performance.now() - this.start;
      this.lastMs = Math.max(this.lastMs, this.baseMs + Math.max(elapsed, 0));
      return this.lastMs;
    },
    // The music plays from ms on, and the clock with it.
    hold() {
      this.nowMs();
      this.held = true;
      if (audio) audio.ctx.suspend();
    },
    set(ms) {
      this.held = false;
      this.baseMs = ms;
      this.lastMs = ms;
      this.onAudio = this.usesAudio();
      if (!this.onAudio) {
        this.start = performance.now();
        return;
      }
      if (audio.source) audio.source.stop();
      audio.source = null;
      this.start = audio.ctx.currentTime;
      if (ms / 1000 < audio.buffer.duration) {
        audio.source = audio.ctx.createBufferSource();
        audio.source.buffer = audio.buffer;
        audio.source.connect(audio.gain);
        audio.source.start(0, ms / 1000);
      }
    },
  };

  // ---- Loading ----

  // What draws the browser's WebGL 2: the unmasked renderer's name where the
  // browser tells it, "" where it does not, null without WebGL 2.
  function webGl2Renderer() {
    const gl = document.createElement('canvas').getContext('webgl2');
    if (!gl) return null;
    const info = gl.getExtension('WEBGL_debug_renderer_info');
    const name = info ? String(gl.getParameter(info.UNMASKED_RENDERER_WEBGL) || '') : '';
    const lose = gl.getExtension('WEBGL_lose_context');
    if (lose) lose.loseContext();
    return name;
  }

  // Fetches `entries` ({path, bytes}) with a running total for the bar;
  // a file that does not come is named in the fault.
  async function fetchAll(entries) {
    const total = entries.reduce((sum, e) => sum + e.bytes, 0) || 1;
    let done = 0;
    const got = new Map();
    const fetchOne = async (entry) => {
      let response;
      try {
        response = await fetch(entry.path);
      } catch (e) {
        throw new AssetFault(entry.path, 'the network request failed');
      }
      if (!response.ok) throw new AssetFault(entry.path, `the server answered ${response.status}`);
      const reader = response.body.getReader();
      const chunks = [];
      let length = 0;
      for (;;) {
        const { done: end, value } = await reader.read();
        if (end) break;
        chunks.push(value);
        length += value.length;
        done += value.length;
        showProgress(done / total);
      }
      const bytes = new Uint8Array(length);
      let at = 0;
      for (const c of chunks) { bytes.set(c, at); at += c.length; }
      got.set(entry.path, bytes);
    };
    // A few at a time: the music is most of the bytes and starts first.
    const queue = entries.slice().sort((a, b) => b.bytes - a.bytes);
    const lanes = Array.from({ length: 4 }, async () => {
      while (queue.length) await fetchOne(queue.shift());
    });
    await Promise.all(lanes);
    return got;
  }

  class AssetFault extends Error {
    constructor(path, why) { super(`${path}: ${why}`); this.path = path; this.why = why; }
  }

  function showProgress(fraction) {
    const percent = Math.round(Math.min(fraction, 1) * 100);
    $('progress-fill').style.width = `${percent}%`;
    $('progress').setAttribute('aria-valuenow', String(percent));
    $('progress-text').textContent = `Loading… ${percent} %`;
  }

  // The music decoded by the browser; on failure the demo keeps the system
  // clock and says so.
  async function prepareAudio(bytes) {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
      showNotice('This browser has no Web Audio: the demo plays without its music.');
      return;
    }
    try {
      const ctx = new Context();
      const buffer = await ctx.decodeAudioData(bytes.buffer.slice(0));
      const gain = ctx.createGain();
      gain.connect(ctx.destination);
      gain.gain.value = muted ? 0 : 1;
      audio = { ctx, gain, buffer, source: null };
    } catch (e) {
      showNotice(`The music could not be decoded (${e.message || e}): ` +
                 'the demo plays without it, on the system clock.');
    }
  }

  // A fresh module with the assets in its files, loaded into the canvas's
  // context: at start-up and again after a lost context comes back.
  async function makePlayer(manifest) {
    module = await createLumivaara({
      canvas,
      wasmBinary: files.get(manifest.module.path),
      page: { clockMs: () => clock.nowMs(), timelineEnded },
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
      onAbort: (what) => showFault('The demo stopped', String(what),
                                   'Reloading the page starts it again.'),
    });
    for (const entry of manifest.files) {
      if (entry.path === manifest.music) continue;
      const dir = entry.path.slice(0, entry.path.lastIndexOf('/'));
      if (dir && !module.FS.analyzePath('/' + dir).exists) module.FS.mkdir('/' + dir);
      module.FS.writeFile('/' + entry.path, files.get(entry.path));
    }
    sizeCanvas();
    // ?render=gl|software overrides the choice the renderer's name makes.
    const render = ['gl', 'software'].includes(params.get('render')) ? params.get('render') : 'auto';
    player = module.ccall('lumivaara_load', 'number', ['string', 'string'],
                          [page.renderer, render]);
    if (!player) throw new Error('no WebGL 2 context could be made on the canvas');
  }

  async function load() {
    setPhase('loading');
    page.renderer = webGl2Renderer();
    if (page.renderer === null) {
      showFault('No WebGL 2', 'This browser cannot draw the demo: it offers no WebGL 2.',
                'Try a current Firefox, Chrome, Edge or Safari (15 or later), turn on ' +
                'hardware acceleration in the browser\'s settings, or update the graphics driver.');
      throw new Error(page.fault);
    }
    let manifest;
    try {
      const response = await fetch('assets.json');
      if (!response.ok) throw new AssetFault('assets.json', `the server answered ${response.status}`);
      manifest = await response.json();
    } catch (e) {
      throw e instanceof AssetFault ? e : new AssetFault('assets.json', e.message);
    }
    files = await fetchAll([manifest.module, ...manifest.files]);
    const music = framesHook ? null : prepareAudio(files.get(manifest.music));
    await makePlayer(manifest);
    await music;
    return manifest;
  }

  // ---- Playing ----

  // Resumes the audio context; false when the browser keeps it stopped
  // (no gesture yet, or no sound device).
  async function resumeAudio() {
    try {
      await Promise.race([audio.ctx.resume(), new Promise((r) => setTimeout(r, 500))]);
    } catch (e) { /* answered below */ }
    return audio.ctx.state === 'running';
  }

  async function startAt(ms) {
    if (audio && audio.ctx.state !== 'running') await resumeAudio();
    clock.set(ms);
    module._lumivaara_start(player, ms);
    $('intro').hidden = true;
    $('end').hidden = true;
    setPhase('playing');
    canvas.focus();
  }

  // The gesture that lets the browser start the sound.
  async function play() {
    $('play').disabled = true;  // one start, however many clicks
    if (audio && !(await resumeAudio()))
      showNotice('The browser would not start the sound: the demo plays without it.');
    await startAt(openingMs());
  }

  function timelineEnded() {
    if (audio && audio.source) { audio.source.stop(); audio.source = null; }
    setPhase('ended');
    $('end').hidden = false;
    $('again').focus();
  }

  // #t=SECONDS opens at that moment.
  function openingMs() {
    const match = /(?:^#|&)t=([0-9.]+)/.exec(location.hash);
    const ms = match ? Math.round(parseFloat(match[1]) * 1000) : 0;
    return Number.isFinite(ms) ? Math.min(Math.max(ms, 0), TIMELINE_MS - 1) : 0;
  }

  // Keys, the time bar and a tab shown again: the exact picture at ms.
  function seekTo(ms) {
    if (!player || contextLost) return;
    if (page.phase === 'ended') {
      startAt(Math.min(Math.max(ms, 0), TIMELINE_MS - 1));
      return;
    }
    if (page.phase !== 'playing') return;
    clock.set(module._lumivaara_jump(player, Math.round(ms)));
  }

  // While hidden the tab draws nothing and the music keeps the clock; shown
  // again, the picture catches up as a seek.
  function catchUp() {
    if (document.visibilityState === 'visible' && page.phase === 'playing' && !contextLost)
      module._lumivaara_jump(player, Math.round(clock.nowMs()));
  }

  // Whatever the phase, the module's GL objects are gone with the context.
  function onContextLost(event) {
    event.preventDefault();  // asks the browser to restore it
    if (!player || contextLost || page.phase === 'fault') return;
    contextLost = true;
    $('play').disabled = $('again').disabled = true;
    if (page.phase === 'playing') {
      lostAtMs = Math.round(clock.nowMs());
      module._lumivaara_stop(player);
      clock.hold();
    }
    showNotice('The graphics context was lost; the demo goes on when the browser restores it.',
               true);
  }

  async function onContextRestored() {
    if (!contextLost) return;
    try {
      await makePlayer(page.manifest);
    } catch (e) {
      showFault('The demo stopped', `the graphics context came back unusable (${e.message}).`,
                'Reloading the page starts it again.');
      return;
    }
    contextLost = false;
    $('play').disabled = $('again').disabled = false;
    showNotice(null);
    if (lostAtMs !== null) {
      const at = lostAtMs;
      lostAtMs = null;
      startAt(at);
    }
  }

  // ---- The screen and the controls ----

  // The drawable follows the canvas's size in device pixels (sharp on dense
  // screens), never below the region the scenes draw into.
  function sizeCanvas(entry) {
    if (framesHook) {
      canvas.width = 800;
      canvas.height = 600;
      return;
    }
    const dpr = window.devicePixelRatio || 1;
    let w, h;
    if (entry && entry.devicePixelContentBoxSize) {
      w = entry.devicePixelContentBoxSize[0].inlineSize;
      h = entry.devicePixelContentBoxSize[0].blockSize;
    } else {
      w = Math.round(canvas.clientWidth * dpr);
      h = Math.round(canvas.clientHeight * dpr);
    }
    const scale = Math.max(1, MIN_DRAWABLE[0] / Math.max(w, 1), MIN_DRAWABLE[1] / Math.max(h, 1));
    w = Math.round(w * scale);
    h = Math.round(h * scale);
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
    }
  }

  // Safari before 16.4 knows full screen only by its prefixed names; a
  // phone's browser may not offer it at all.
  function toggleFullScreen() {
    const root = document.documentElement;
    const request = root.requestFullscreen || root.webkitRequestFullscreen;
    const exit = document.exitFullscreen || document.webkitExitFullscreen;
    const inside = document.fullscreenElement || document.webkitFullscreenElement;
    const done = inside ? exit && exit.call(document) : request && request.call(root);
    if (done && done.catch) done.catch(() => {});
  }

  function setMuted(on) {
    muted = on;
    if (audio) audio.gain.gain.value = on ? 0 : 1;
    $('mute').textContent = on ? 'Sound off' : 'Sound on';
    $('mute').setAttribute('aria-pressed', String(on));
  }

  function clockText(ms) {
    const s = Math.floor(ms / 1000);
    return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, '0')}`;
  }

  // The time bar follows the demo time shown.
  function updateBar() {
    if (player && (page.phase === 'playing' || page.phase === 'ended')) {
      const ms = page.phase === 'ended' ? TIMELINE_MS : module._lumivaara_demo_time(player);
      $('timeline-fill').style.width = `${(100 * ms) / TIMELINE_MS}%`;
      $('time').textContent = `${clockText(ms)} / ${clockText(TIMELINE_MS)}`;
      $('timeline').setAttribute('aria-valuenow', String(Math.floor(ms / 1000)));
    }
    requestAnimationFrame(updateBar);
  }

  function wireControls() {
    $('play').addEventListener('click', play);
    $('again').addEventListener('click', () => startAt(0));
    $('fullscreen').addEventListener('click', toggleFullScreen);
    $('mute').addEventListener('click', () => setMuted(!muted));
    canvas.addEventListener('dblclick', toggleFullScreen);
    canvas.addEventListener('webglcontextlost', onContextLost);
    canvas.addEventListener('webglcontextrestored', onContextRestored);
    document.addEventListener('visibilitychange', catchUp);

    const timeline = $('timeline');
    const seekFromPointer = (e) => {
      const r = timeline.getBoundingClientRect();
      seekTo(((e.clientX - r.left) / r.width) * TIMELINE_MS);
    };
    timeline.addEventListener('pointerdown', (e) => {
      timeline.setPointerCapture(e.pointerId);
      seekFromPointer(e);
    });
    timeline.addEventListener('pointerup', (e) => timeline.releasePointerCapture(e.pointerId));

    let idleTimer = 0;
    document.addEventListener('mousemove', () => {
      document.body.classList.add('awake');
      document.body.classList.remove('idle');
      clearTimeout(idleTimer);
      idleTimer = setTimeout(() => {
        document.body.classList.remove('awake');
        document.body.classList.add('idle');
      }, BAR_SHOWS_MS);
    });

    document.addEventListener('keydown', (e) => {
      if (e.key === 'F11') {
        e.preventDefault();
        toggleFullScreen();
      } else if ((e.key === 'ArrowLeft' || e.key === 'ArrowRight') &&
                 (page.phase === 'playing' || page.phase === 'ended')) {
        e.preventDefault();
        const shown = page.phase === 'ended' ? TIMELINE_MS : module._lumivaara_demo_time(player);
        seekTo(shown + (e.key === 'ArrowLeft' ? -JUMP_MS : JUMP_MS));
      } else if (e.key === 'm' || e.key === 'M') {
        setMuted(!muted);
      }
      // Escape leaves full screen: the browser does that itself.
    });

    if ('ResizeObserver' in window) {
      const observer = new ResizeObserver((entries) => sizeCanvas(entries[0]));
      try {
        observer.observe(canvas, { box: 'device-pixel-content-box' });
      } catch (e) {
        observer.observe(canvas);
      }
    } else {
      window.addEventListener('resize', () => sizeCanvas());
    }
    requestAnimationFrame(updateBar);
  }

  // ?autoplay: party screens and kiosks start without the button where the
  // browser lets sound start on its own.
  async function tryAutoplay() {
    return !audio || resumeAudio();
  }

  async function main() {
    wireControls();
    let manifest;
    try {
      manifest = await load();
      page.manifest = manifest;
    } catch (e) {
      if (page.phase !== 'fault') {
        if (e instanceof AssetFault) {
          showFault('A file of the demo did not load', `${e.path}: ${e.why}.`,
                    'Check that every file of the site was uploaded, then reload the page.');
        } else {
          showFault('The demo could not start', e.message || String(e),
                    'Reloading the page may help; a current browser is needed.');
        }
      }
      throw new Error(page.fault);
    }
    if (framesHook) {
      $('intro').hidden = true;
      setPhase('frames');
      return;
    }
    setPhase('ready');
    if (params.has('autoplay') && (await tryAutoplay())) {
      await startAt(openingMs());
      return;
    }
    $('play').hidden = false;
    $('keys').hidden = false;
    $('play').focus();
  }

  const ready = main();
  ready.catch(() => {});  // the fault page says it; scripts read `ready`

  window.lumivaara = {
    get phase() { return page.phase === 'frames' ? 'ready' : page.phase; },
    get fault() { return page.fault; },
    get notice() { return page.notice; },
    ready,
    stats() {
      const s = {
        clockMs: clock.nowMs(),
        demoMs: player ? module._lumivaara_demo_time(player) : 0,
        framesDrawn: player ? module._lumivaara_frames_drawn(player) : 0,
        audio: !clock.onAudio ? 'none' : muted ? 'muted' : 'playing',
        renderPath: player && module._lumivaara_software_path(player) ? 'software' : 'gl',
      };
      if (audio) s.audioTimeS = audio.ctx.currentTime;
      return s;
    },
    // Bench hook (?frames): milliseconds each frame of [fromMs, toMs) takes
    // at `fps`, drawn and finished, after an exact seek to fromMs.
    timeFrames(fromMs, toMs, fps) {
      module._lumivaara_show(player, fromMs);
      const times = [];
      for (let i = Math.ceil((fromMs * fps) / 1000) + 1; (i * 1000) / fps < toMs; i++) {
        const started = performance.now();
        module._lumivaara_draw(player, Math.floor((i * 1000) / fps));
        times.push(performance.now() - started);
      }
      return times;
    },
    // Test hook (?frames): the frame at ms as a capture starting there draws it.
    show(ms) {
      const at = module._lumivaara_show(player, ms);
      const bytes = canvas.width * canvas.height * 3;
      return { width: canvas.width, height: canvas.height,
               rgb: module.HEAPU8.slice(at, at + bytes) };
    },
  };
})();
