// SPDX-License-Identifier: GPL-3.0-or-later
// The page's glue: what only a browser can do (fetch, decode pictures, put
// pixels on the canvas, play sound, keep settings, timers, the menu and the
// dialogs) around the WebAssembly module, which holds the whole handheld.
// No rule of the game lives here: every input goes to the module as it
// came, and the module says what to show.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const canvas = $('handheld');
  // The canvas is drawn through an OffscreenCanvas where the browser has
  // one: what is drawn there goes to the screen without a frame of the
  // page's own (style, layout, commit), which halves what each of the
  // LCD's frames costs the browser. Its size is set on it, not on the
  // element, which keeps only its place and its CSS size.
  const drawing = canvas.transferControlToOffscreen ? canvas.transferControlToOffscreen() : canvas;
  const context = drawing.getContext('2d');
  const params = new URLSearchParams(location.search);
  // Figures and hooks for the tests and the benchmark.
  const stats = {
    ready: false, firstFrameMs: null, frames: 0, puts: 0, soundStarts: {}, played: [],
    frameMs: 0, putMs: 0, putPixels: 0,
  };
  let M = null;  // the module, once it runs
  let zoomWanted = null;

  // --- Timers ---
  let wakeTimer = null;
  let framePending = false;
  let fadeTimer = null;
  const timers = new Map();
  const loaded = new Set();  // art scales handed to the module
  const prefetched = new Map();  // art scale: its pictures on their way

  // --- Sound ---
  let audio = null;
  const buffers = new Map();
  const sources = new Set();
  // A running audio context costs the browser a stream even in silence.
  let restMs = 10000;
  let lastSound = 0;
  let restTimer = null;

  // --- Pictures ---
  // Blob URLs of the launcher's and the about window's photographs, taken
  // from the sheets of the screen's own scale only: those windows follow
  // the screen, not the handheld's size, so that each photograph's pixel
  // is a device pixel at whole ratios.
  const photos = {};
  const windowScale = Math.max(1, Math.min(4, Math.floor(devicePixelRatio + 0.5)));

  function bytesOf(text) { return new TextEncoder().encode(text); }

  function withBytes(bytes, use) {
    const ptr = M._malloc(Math.max(1, bytes.length));
    M.HEAPU8.set(bytes, ptr);
    try { return use(ptr); } finally { M._free(ptr); }
  }

  function withText(text, use) { return withBytes(bytesOf(text + '\0'), use); }

  // The nearest art scale to the case's device scale, the larger halfway
  // (as the renderer chooses it), only to fetch early the sheets the module
  // will ask for; the module has the last word.
  function guessArtScale() {
    let zoom = 100;
    try { zoom = parseInt(localStorage.getItem('cantiere.zoom') || '100', 10) || 100; } catch (e) { /* none */ }
    const z = zoom / 100;
    const fit = Math.min(1, innerWidth / (464 * z), innerHeight / (571 * z));
    const scale = z * fit * devicePixelRatio;
    return Math.max(1, Math.min(4, Math.floor(scale + 0.5)));
  }

  // One of an art scale's two sheets: 'start', what the first screen shows,
  // or 'rest'.
  async function fetchSheet(scale, part) {
    const name = `sheet-${scale}x-${part}.bin`;
    const response = await fetch(name);
    if (!response.ok) throw new Error(`${name}: ${response.status}`);
    const buffer = await response.arrayBuffer();
    const head = new DataView(buffer);
    if (head.getUint32(0, false) !== 0x43534854) throw new Error('not a sheet');
    const length = head.getUint32(4, true);
    const index = JSON.parse(new TextDecoder().decode(new Uint8Array(buffer, 8, length)));
    const base = 8 + length;
    // Decoded by the browser while the module compiles; read back exactly,
    // with no colour conversion and no premultiplied alpha.
    return Promise.all(index.map(async (f) => {
      const bytes = new Uint8Array(buffer, base + f.offset, f.size);
      if (f.path.endsWith('.pbm')) return { path: f.path, bytes };
      const type = f.path.endsWith('.png') ? 'image/png' : 'image/jpeg';
      const blob = new Blob([bytes], { type });
      if (scale === windowScale && /Im_(Piccina1|Piccina2|Foto)\.jpg$/.test(f.path)) {
        photos[f.path.replace(/.*\//, '').replace('.jpg', '')] = URL.createObjectURL(blob);
      }
      const bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
      const surface = new OffscreenCanvas(bitmap.width, bitmap.height);
      const c = surface.getContext('2d', { willReadFrequently: true });
      c.drawImage(bitmap, 0, 0);
      const rgba = c.getImageData(0, 0, bitmap.width, bitmap.height).data;
      bitmap.close();
      return { path: f.path, width: surface.width, height: surface.height, rgba };
    }));
  }

  async function fetchWhole(scale) {
    const parts = await Promise.all([fetchSheet(scale, 'start'), fetchSheet(scale, 'rest')]);
    return parts[0].concat(parts[1]);
  }

  function handOver(scale, pictures, whole) {
    for (const p of pictures) {
      withText(p.path, (path) => {
        if (p.bytes) {
          withBytes(p.bytes, (ptr) => M._page_add_bitmap(path, ptr, p.bytes.length));
        } else {
          withBytes(p.rgba, (ptr) => M._page_add_picture(path, p.width, p.height, ptr));
        }
      });
    }
    M._page_sheet_done(scale, whole ? 1 : 0);
    loaded.add(scale);
    if (!$('about').hidden && !$('foto').getAttribute('src') && photos.Im_Foto) $('foto').src = photos.Im_Foto;
  }

  // Asks the module for something that may need another art scale: the
  // sheet is fetched and handed over, then asked again.
  async function withArt(ask) {
    for (let tries = 0; tries < 4; ++tries) {
      const missing = ask();
      if (!missing) return;
      if (loaded.has(missing)) return;
      const whole = prefetched.get(missing) || fetchWhole(missing);
      prefetched.delete(missing);
      handOver(missing, await whole, true);
    }
  }

  function viewport() {
    return withArt(() => M._page_viewport(innerWidth, innerHeight, devicePixelRatio));
  }

  // --- What the module asks of the page ---
  const page = {
    wakeIn(ms) {
      clearTimeout(wakeTimer);
      wakeTimer = setTimeout(() => { wakeTimer = null; M._page_wake(); }, ms);
    },
    noWake() { clearTimeout(wakeTimer); wakeTimer = null; },
    timer(id, ms) {
      clearTimeout(timers.get(id));
      timers.set(id, setTimeout(() => { timers.delete(id); M._page_timer(id); }, ms));
    },
    cancelTimer(id) { clearTimeout(timers.get(id)); timers.delete(id); },
    // Drawn once the task that asked for it has made all its changes, not
    // at the next animation frame: that would wake the page's whole frame
    // for what the canvas shows by itself, and show each instant later.
    requestFrame() {
      clearTimeout(fadeTimer);
      if (framePending) return;
      framePending = true;
      queueMicrotask(drawFrame);
    },
    requestFrameAfter(ms) {
      stats.frameAfter = ms;
      clearTimeout(fadeTimer);
      fadeTimer = setTimeout(() => page.requestFrame(), ms);
    },
    canvas(deviceWidth, deviceHeight, left, top, width, height) {
      if (drawing.width !== deviceWidth) drawing.width = deviceWidth;
      if (drawing.height !== deviceHeight) drawing.height = deviceHeight;
      const s = canvas.style;
      s.left = `${left}px`; s.top = `${top}px`; s.width = `${width}px`; s.height = `${height}px`;
    },
    put(ptr, stride, rows, x, y, w, h) {
      const start = performance.now();
      const pixels = new Uint8ClampedArray(M.HEAPU8.buffer, ptr, stride * rows * 4);
      context.putImageData(new ImageData(pixels, stride, rows), 0, 0, x, y, w, h);
      stats.puts++;
      stats.putPixels += w * h;
      stats.lastPutAt = performance.now();
      stats.putMs += stats.lastPutAt - start;
    },
    showHandheld(shown) { canvas.hidden = !shown; },
    hint(text, help) {
      canvas.title = text;
      canvas.style.cursor = text ? (help ? 'help' : 'pointer') : 'default';
    },
    title(text) { document.title = text; },
    launcher(visible, index, enabled, slide) {
      const l = $('launcher');
      l.hidden = !visible;
      $('sound').value = String(index >= 0 && index <= 2 ? index : -1);
      $('play').disabled = !enabled;
      const url = slide === 1 ? photos.Im_Piccina1 : slide === 2 ? photos.Im_Piccina2 : '';
      const img = $('slide');
      if (url) { if (img.src !== url) img.src = url; img.hidden = false; } else { img.hidden = true; }
      if (visible) centre(l);
    },
    about() {
      $('foto').src = photos.Im_Foto || '';
      $('about').hidden = false;
    },
    open(target) {
      // The documents are pages of the site, a link is itself.
      window.open(target, '_blank', 'noopener');
    },
    beep() {
      const a = ensureAudio();
      if (!a) return;
      const tone = a.createOscillator();
      const gain = a.createGain();
      tone.type = 'square';
      tone.frequency.value = 880;
      gain.gain.value = 0.05;
      tone.connect(gain).connect(a.destination);
      tone.start();
      tone.stop(a.currentTime + 0.12);
    },
    message(text) { messages.push(text); showMessage(); },
    exit() {
      canvas.hidden = true;
      $('launcher').hidden = true;
      $('about').hidden = true;
      closeMenu();
      page.audioStopAll();
      $('ended').hidden = false;
      stats.exited = true;
    },
    storageGet(key) {
      try { return localStorage.getItem(key); } catch (e) { return null; }
    },
    storageSet(key, value) {
      try { localStorage.setItem(key, value); return true; } catch (e) { return false; }
    },
    audioInit(ms) {
      restMs = ms;
      return !!ensureAudio();
    },
    audioLoad(handle, name, ptr, count, rate) {
      const buffer = audio.createBuffer(1, Math.max(1, count), rate);
      const channel = buffer.getChannelData(0);
      const pcm = new Int16Array(M.HEAPU8.buffer, ptr, count);
      for (let i = 0; i < count; ++i) channel[i] = pcm[i] / 32768;
      buffers.set(handle, { buffer, name });
    },
    audioPlay(handle) {
      const sample = buffers.get(handle);
      if (!sample || !audio) return;
      // Taken up again if it rested: the sound starts as it runs.
      ensureAudio();
      const source = audio.createBufferSource();
      source.buffer = sample.buffer;
      source.connect(audio.destination);
      source.onended = () => sources.delete(source);
      source.start();
      sources.add(source);
      stats.soundStarts[sample.name] = (stats.soundStarts[sample.name] || 0) + 1;
      stats.played.push(sample.name);
    },
    audioStopAll() {
      for (const s of sources) { try { s.stop(); } catch (e) { /* ended */ } }
      sources.clear();
    },
    audioFree(handle) { buffers.delete(handle); },
  };

  function ensureAudio() {
    if (!audio) {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return null;
      audio = new Context();
    }
    if (audio.state === 'suspended') audio.resume();
    lastSound = performance.now();
    if (!restTimer) restTimer = setTimeout(restIfQuiet, restMs);
    return audio;
  }

  function restIfQuiet() {
    restTimer = null;
    const quiet = performance.now() - lastSound;
    // A long sample still sounding counts as a sound.
    if (quiet < restMs || sources.size) {
      restTimer = setTimeout(restIfQuiet, Math.max(1, quiet < restMs ? restMs - quiet : restMs));
      return;
    }
    if (audio.state === 'running') audio.suspend();
  }

  function drawFrame() {
    if (!framePending) return;
    framePending = false;
    const start = performance.now();
    M._page_frame();
    stats.frames++;
    stats.frameMs += performance.now() - start;
  }

  function centre(element) {
    const r = element.getBoundingClientRect();
    element.style.left = `${Math.max(0, Math.floor((innerWidth - r.width) / 2))}px`;
    element.style.top = `${Math.max(0, Math.floor((innerHeight - r.height) / 2))}px`;
  }

  // --- Messages ---
  const messages = [];
  function showMessage() {
    const box = $('message');
    if (!box.hidden || !messages.length) return;
    box.querySelector('.text').textContent = messages.shift();
    box.hidden = false;
    $('message-ok').focus();
  }
  $('message-ok').addEventListener('click', () => { $('message').hidden = true; showMessage(); });

  // --- The launcher ---
  $('sound').addEventListener('change', (e) => M._page_choose_sound(parseInt(e.target.value, 10)));
  $('play').addEventListener('click', () => {
    // Inside the click, so that no browser keeps the sound from starting.
    if ($('sound').value !== '2') ensureAudio();
    M._page_play();
    canvas.focus();
  });
  $('mail').addEventListener('click', (e) => { e.preventDefault(); M._page_link(0); });
  $('web').addEventListener('click', (e) => { e.preventDefault(); M._page_link(1); });
  $('about-close').addEventListener('click', () => { $('about').hidden = true; });
  $('again').addEventListener('click', () => location.reload());

  // --- The context menu ---
  const menu = $('menu');
  function openMenu(x, y) {
    $('save').classList.toggle('disabled', !M._page_has_game());
    $('effects').classList.toggle('checked', !!M._page_effects());
    const zoom = M._page_zoom_now();
    for (const li of menu.querySelectorAll('[data-zoom]')) li.classList.toggle('checked', li.dataset.zoom === String(zoom));
    menu.hidden = false;
    const r = menu.getBoundingClientRect();
    menu.style.left = `${Math.max(0, Math.min(x, innerWidth - r.width))}px`;
    menu.style.top = `${Math.max(0, Math.min(y, innerHeight - r.height))}px`;
  }
  function closeMenu() {
    menu.hidden = true;
    $('size').classList.remove('open');
  }
  function zoomTo(how) {
    const steps = [100, 150, 200, 250, 300, 400];
    const now = M._page_zoom_now();
    let next = parseInt(how, 10);
    if (how === '+') next = steps[Math.min(steps.length - 1, steps.indexOf(now) + 1)];
    if (how === '-') next = steps[Math.max(0, steps.indexOf(now) - 1)];
    zoomWanted = next;
    withArt(() => M._page_zoom(next));
  }
  menu.addEventListener('pointerup', (e) => {
    const li = e.target.closest('li');
    if (!li || li.classList.contains('separator') || li.classList.contains('disabled')) return;
    if (li.id === 'size') { li.classList.toggle('open'); return; }
    closeMenu();
    if (li.dataset.entry) M._page_menu(parseInt(li.dataset.entry, 10));
    else if (li.dataset.zoom) zoomTo(li.dataset.zoom);
    else if (li.dataset.action === 'effects') M._page_set_effects(M._page_effects() ? 0 : 1);
    else if (li.dataset.action === 'save') saveGame();
    else if (li.dataset.action === 'replay') $('replay-file').click();
  });
  document.addEventListener('pointerdown', (e) => {
    if (!menu.hidden && !menu.contains(e.target)) closeMenu();
  }, true);

  function saveGame() {
    const now = new Date();
    const two = (n) => String(n).padStart(2, '0');
    const name = `cantiere-game-${now.getFullYear()}-${two(now.getMonth() + 1)}-${two(now.getDate())}-${two(now.getHours())}${two(now.getMinutes())}.sim`;
    const text = withText(name, (p) => M.UTF8ToString(M._page_save_game(p)));
    if (!text) return;
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    stats.saved = text;
  }

  // The desktop reads files of up to 64 MB; nothing real comes near.
  const kLargestFile = 64 * 1024 * 1024;
  async function replayFile(file) {
    if (!file) return;
    if (file.size > kLargestFile) { page.message(`${file.name} is too large to be a recording.`); return; }
    const bytes = new Uint8Array(await file.arrayBuffer());
    replayBytes(file.name, bytes);
  }
  function replayBytes(name, bytes) {
    withText(name, (n) => withBytes(bytes, (p) => M._page_replay(n, p, bytes.length)));
  }
  $('replay-file').addEventListener('change', (e) => { replayFile(e.target.files[0]); e.target.value = ''; });
  document.addEventListener('dragover', (e) => e.preventDefault());
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    // Not before the program runs: the module is there before the program.
    if (M && stats.ready && e.dataTransfer.files.length) replayFile(e.dataTransfer.files[0]);
  });

  // --- Pointer: mouse, pen and touch alike ---
  let longPress = null;
  const kLongPressMs = 600;
  function cancelLongPress() { clearTimeout(longPress && longPress.timer); longPress = null; }
  canvas.addEventListener('pointerdown', (e) => {
    e.preventDefault();
    const taken = M._page_pointer_down(e.pointerId, e.clientX, e.clientY, e.button);
    if (!taken) return;
    canvas.setPointerCapture(e.pointerId);
    if (e.pointerType === 'touch') {
      cancelLongPress();
      const at = { x: e.clientX, y: e.clientY, id: e.pointerId };
      // A long press is a touch screen's right click.
      at.timer = setTimeout(() => { longPress = null; openMenu(at.x, at.y); }, kLongPressMs);
      longPress = at;
    }
  });
  canvas.addEventListener('pointermove', (e) => {
    if (longPress && longPress.id === e.pointerId && Math.hypot(e.clientX - longPress.x, e.clientY - longPress.y) > 10) cancelLongPress();
    M._page_pointer_move(e.pointerId, e.clientX, e.clientY, e.buttons ? 1 : 0);
  });
  function pointerEnd(e, button) {
    if (longPress && longPress.id === e.pointerId) cancelLongPress();
    const r = M._page_pointer_up(e.pointerId, e.clientX, e.clientY, button);
    if (r === 2) openMenu(e.clientX, e.clientY);
  }
  canvas.addEventListener('pointerup', (e) => pointerEnd(e, e.button));
  canvas.addEventListener('pointercancel', (e) => pointerEnd(e, 0));
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener('pointerleave', () => page.hint('', 0));

  // --- Keys: the desktop's virtual-key codes ---
  const named = {
    Control: 17, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40, Escape: 27,
    Backspace: 8, Tab: 9, Enter: 13, Shift: 16, Alt: 18, Pause: 19, CapsLock: 20, ' ': 32,
    PageUp: 33, PageDown: 34, End: 35, Home: 36, Insert: 45, Delete: 46,
  };
  function virtualKey(e) {
    if (e.key in named) return named[e.key];
    const f = /^F([0-9]{1,2})$/.exec(e.key);
    if (f && f[1] >= 1 && f[1] <= 24) return 111 + parseInt(f[1], 10);
    if (/^Key[A-Z]$/.test(e.code)) return e.code.charCodeAt(3);
    if (/^Digit[0-9]$/.test(e.code)) return e.code.charCodeAt(5);
    return 0;
  }
  function keyEvent(e, down) {
    if (!M || !stats.ready) return;
    stats.lastKeyAt = performance.now();
    if (!$('message').hidden) return;
    if (!menu.hidden) {
      if (down && e.key === 'Escape') { closeMenu(); e.preventDefault(); }
      return;
    }
    if (!M._page_replaying() && down && ['+', '=', '-', '0'].includes(e.key) && !canvas.hidden) {
      zoomTo(e.key === '=' ? '+' : e.key === '0' ? '100' : e.key);
      e.preventDefault();
      return;
    }
    const code = virtualKey(e);
    stats.frameAfter = null;
    if (M._page_key(down ? 1 : 0, code) || /^F[1-4]$/.test(e.key)) e.preventDefault();
    // How long after a key goes down its change is drawn, when not at once.
    if (down) stats.keyFrameAfter = stats.frameAfter;
  }
  document.addEventListener('keydown', (e) => keyEvent(e, true));
  document.addEventListener('keyup', (e) => keyEvent(e, false));
  window.addEventListener('blur', () => { if (M && stats.ready) M._page_release_keys(); });

  // --- Controllers ---
  // A browser asked for controllers reads every one 60 times a second, which
  // costs it about 1 % of a core even with none there: so the page asks only
  // while one may be wanted. A click or tap (PLAY, the lid, a button: how a
  // controller's player begins) asks for a minute, a key ends that minute (the
  // keyboard is played), and a connected controller is asked for as long as
  // it stays. A controller shows itself to a page at its first press.
  const kPadLookMs = 60000;
  // Read as often as the browser reads them, on a timer: an animation frame
  // would wake the page's whole frame 60 times a second.
  const kPadReadMs = 16;
  const pads = new Map();
  let padRead = null;
  let padLook = null;
  let padsAsked = false;
  function readPads() {
    padRead = null;
    for (const pad of navigator.getGamepads ? navigator.getGamepads() : []) {
      if (!pad || !pads.has(pad.index)) continue;
      const last = pads.get(pad.index);
      pad.buttons.forEach((b, i) => {
        if (b.pressed !== !!last.buttons[i]) M._page_pad(pad.index, 0, i, b.pressed ? 1 : 0);
        last.buttons[i] = b.pressed;
      });
      pad.axes.slice(0, 2).forEach((v, i) => {
        if (v !== last.axes[i]) M._page_pad(pad.index, 1, i, v);
        last.axes[i] = v;
      });
    }
    startReadingPads();
  }
  function startReadingPads() {
    if (M && stats.ready && pads.size && !padRead) padRead = setTimeout(readPads, kPadReadMs);
  }
  function padConnected(e) {
    pads.set(e.gamepad.index, { buttons: [], axes: [] });
    startReadingPads();
  }
  function padDisconnected(e) {
    pads.delete(e.gamepad.index);
    if (M && stats.ready) M._page_pad(e.gamepad.index, 2, 0, 0);
    if (!pads.size && !padLook) askForPads(false);
  }
  function askForPads(on) {
    if (on === padsAsked) return;
    padsAsked = on;
    const listen = on ? window.addEventListener : window.removeEventListener;
    listen('gamepadconnected', padConnected);
    listen('gamepaddisconnected', padDisconnected);
  }
  function lookForPads() {
    clearTimeout(padLook);
    askForPads(true);
    padLook = setTimeout(stopLookingForPads, kPadLookMs);
  }
  function stopLookingForPads() {
    clearTimeout(padLook);
    padLook = null;
    if (!pads.size) askForPads(false);
  }
  document.addEventListener('pointerdown', lookForPads, true);
  document.addEventListener('keydown', stopLookingForPads, true);
  lookForPads();

  window.addEventListener('resize', () => { if (M && stats.ready) viewport(); });

  // --- Start: the module compiles while the pictures download ---
  async function start() {
    // The launcher's slides at the screen's scale; the case's own, where a
    // stored size makes it another, whole and at once.
    const sheet = windowScale;
    const pictures = fetchSheet(sheet, 'start');
    const caseScale = guessArtScale();
    if (caseScale !== sheet) prefetched.set(caseScale, fetchWhole(caseScale));
    const script = document.createElement('script');
    script.src = 'cantiere_page.js';
    const loadedScript = new Promise((resolve, reject) => { script.onload = resolve; script.onerror = reject; });
    document.head.appendChild(script);
    await loadedScript;
    M = await window.CantiereModule({ page });
    M.page = page;
    handOver(sheet, await pictures, false);
    M._page_create(params.has('trace') ? 1 : 0);
    await viewport();
    M._page_start();
    stats.ready = true;
    const slide = $('slide');
    if (slide.src) await slide.decode().catch(() => {});
    requestAnimationFrame(() => {
      stats.firstFrameMs = performance.now();
      // The rest of the pictures once the first screen is up: the case, the
      // LCD, the about window's photograph.
      fetchSheet(sheet, 'rest').then((rest) => {
        handOver(sheet, rest, true);
        stats.wholeArt = true;
      }).catch((e) => page.message(`Cantiere cannot load its pictures: ${e.message}`));
    });
    startReadingPads();
  }

  window.cantiere = {
    stats,
    drawing,
    padsAsked: () => padsAsked,
    trace: () => M.UTF8ToString(M._page_trace()),
    session: () => M.UTF8ToString(M._page_session()),
    audioState: () => (audio ? audio.state : 'none'),
    now: () => M._page_now(),
    effects: () => !!M._page_effects(),
    replayText: (name, text) => replayBytes(name, bytesOf(text)),
    menu: (x, y) => openMenu(x, y),
    zoom: (how) => zoomTo(String(how)),
  };
  start().catch((e) => { page.message(`Cantiere cannot start here: ${e.message}`); });
})();
