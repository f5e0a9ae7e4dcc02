#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The page in a headless Chromium, driven by Selenium with real pointer,
touch and key events, set against the native driver: the same inputs give
the same trace, the canvas is the driver's snapshot pixel for pixel, the
high score outlives a reload, the sound starts inside the PLAY click.

usage: page_test.py SITE NATIVE_SIM [unittest arguments]
Every wait is on a condition, with a generous bound for a busy machine.
"""
import base64
import functools
import http.server
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import zlib

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.options import Options
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.actions import interaction
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.actions.pointer_input import PointerInput
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select
except ImportError:
    webdriver = None

SITE = NATIVE_SIM = None
CHROMEDRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"

# Catalogue rectangles (left, top, width, height) of what the tests touch.
ELEMENTS = {
    "Im_Front": (0, 0, 464, 300), "Puls_GameA": (387, 328, 20, 12),
    "Puls_Time": (387, 387, 20, 12), "Puls_Jump": (386, 469, 33, 33), "Puls_Cross2": (34, 473, 60, 23),
}
SAMPLE_FILES = {"SndBarrel": "Barrel.wav", "SndBonus": "Bonus.wav", "SndFall": "Fall.wav",
                "SndJump": "Jump.wav", "SndOrcoFall": "OrcoFall.wav", "SndMiss": "Miss.wav",
                "SndOver": "Over.wav", "SndStep": "Step.wav"}


def wait_for(condition, what, timeout=60.0):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError(f"gave up waiting for {what}")
        time.sleep(0.05)


def read_png(data):
    """RGB or RGBA rows of an 8-bit PNG, as a bytes object and its size."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, idat, width = 8, b"", 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6), (depth, colour)
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    out = bytearray(stride * height)
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out[y * stride:(y + 1) * stride] = line
        previous = line
    return bytes(out), width, height, channels


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class GatedHandler(QuietHandler):
    """Holds back the sheets a first screen does not need while `rest` is
    clear, as a slow network would."""
    rest = threading.Event()

    def do_GET(self):
        if self.path.split("?")[0].endswith("-rest.bin"):
            self.rest.wait(120)
        super().do_GET()


class Page:
    """One browser on the page, with the steps the tests share."""

    def __init__(self, url, width=1300, height=1300, ratio=1, touch=False):
        options = Options()
        self.profile = tempfile.mkdtemp(prefix="cantiere-page-")
        for a in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                  "--no-first-run", "--disable-background-networking",
                  "--disable-component-update", "--disable-sync", "--force-color-profile=srgb",
                  "--autoplay-policy=user-gesture-required", f"--user-data-dir={self.profile}",
                  f"--window-size={width},{height}", f"--force-device-scale-factor={ratio}"]:
            options.add_argument(a)
        if touch:
            options.add_argument("--touch-events=enabled")
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.set_script_timeout(60)
        self.url = url
        self.load()

    def load(self):
        self.driver.get(self.url)
        wait_for(lambda: self.js("return !!(window.cantiere && cantiere.stats.ready)"), "the page to start")

    def close(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def trace(self):
        return self.js("return cantiere.trace()")

    def at(self, name, dx=0.5, dy=0.5):
        """The viewport point (CSS pixels) of a place on an element."""
        left, top, width, height = ELEMENTS[name]
        box = self.js("const r = document.getElementById('handheld').getBoundingClientRect();"
                      "return [r.left, r.top, r.width];")
        scale = box[2] / 464
        return box[0] + (left + width * dx) * scale, box[1] + (top + height * dy) * scale

    def pointer(self, kind="mouse"):
        source = PointerInput(interaction.POINTER_TOUCH if kind == "touch" else interaction.POINTER_MOUSE, kind)
        return ActionBuilder(self.driver, mouse=source), source

    def tap(self, x, y, kind="mouse", hold=0.0, button=0):
        builder, source = self.pointer(kind)
        source.create_pointer_move(x=int(x), y=int(y), origin="viewport")
        source.create_pointer_down(button=button)
        if hold:
            source.create_pause(hold)
        source.create_pointer_up(button=button)
        builder.perform()

    def click_element(self, element_id):
        r = self.js(f"const r = document.getElementById('{element_id}').getBoundingClientRect();"
                    "return [r.left + r.width / 2, r.top + r.height / 2];")
        self.tap(*r)

    def key(self, key, hold=0.0):
        chain = ActionChains(self.driver).key_down(key)
        if hold:
            chain.pause(hold)
        chain.key_up(key).perform()

    def play(self, mode, kind="mouse"):
        Select(self.driver.find_element("id", "sound")).select_by_value(str(mode))
        r = self.js("const r = document.getElementById('play').getBoundingClientRect();"
                    "return [r.left + r.width / 2, r.top + r.height / 2];")
        self.tap(*r, kind=kind)
        wait_for(lambda: self.js("return !document.getElementById('handheld').hidden"), "the handheld")

    def open_lid(self, kind="mouse"):
        # The canvas shows the closed case once its first frame is drawn; the
        # open case's pictures follow it.
        wait_for(lambda: self.js("return cantiere.stats.puts > 0 && cantiere.stats.wholeArt"),
                 "the closed case drawn and every picture there")
        self.tap(*self.at("Im_Front"), kind=kind)
        wait_for(lambda: self.js("return cantiere.drawing.height > 400 * devicePixelRatio"),
                 "the open case")

    def settled(self, ms=400):
        """Waits until `ms` of the page's virtual time have passed."""
        start = self.js("return cantiere.now()")
        wait_for(lambda: self.js("return cantiere.now()") >= start + ms, "time to pass")
        # And two animation frames, the last of which draws nothing new.
        self.driver.execute_async_script(
            "const done = arguments[0]; requestAnimationFrame(() => requestAnimationFrame(() => done()));")

    def menu_choose(self, text, submenu=None):
        self.tap(*self.at("Im_Front", 0.1, 0.1), button=2)
        wait_for(lambda: self.js("return !document.getElementById('menu').hidden"), "the menu")
        if submenu:
            self.click_element("size")
        item = self.js("return [...document.querySelectorAll('#menu li')]"
                       ".find(li => li.firstChild && li.firstChild.textContent.trim() === arguments[0])"
                       ".getBoundingClientRect().toJSON()", text)
        self.tap(item["left"] + item["width"] / 2, item["top"] + item["height"] / 2)

    def canvas_rgba(self):
        data = self.js("const c = cantiere.drawing;"
                       "const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
                       "let s = ''; for (let i = 0; i < d.length; i += 32768)"
                       "  s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));"
                       "return [c.width, c.height, btoa(s)];")
        return data[0], data[1], base64.b64decode(data[2])


def run_driver(script_text, *options):
    with tempfile.NamedTemporaryFile("w", suffix=".sim", delete=False) as f:
        f.write(script_text)
    try:
        done = subprocess.run([NATIVE_SIM, *options, f.name], capture_output=True, timeout=300)
        return done.returncode, done.stdout.decode(), done.stderr.decode()
    finally:
        os.unlink(f.name)


def session_end(session):
    return int(re.search(r"^# time (\d+)$", session, re.M).group(1))


@unittest.skipIf(webdriver is None, "SKIPPED: python3-selenium is not installed")
class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.exists(CHROMEDRIVER) or not shutil.which("chromium"):
            raise unittest.SkipTest("SKIPPED: chromium and chromium-driver are not installed")
        GatedHandler.rest.set()
        # From a folder below the server's root, as a host may put it.
        site = os.path.abspath(SITE)
        handler = functools.partial(GatedHandler, directory=os.path.dirname(site))
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.base = f"http://127.0.0.1:{cls.server.server_address[1]}/{os.path.basename(site)}/"

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()

    def page(self, query="?trace", **kw):
        p = Page(self.base + query, **kw)
        self.addCleanup(p.close)
        return p

    def assert_driver_agrees(self, session, trace):
        """The driver, given the page's own recording, traces what the page did."""
        status, out, err = run_driver(session, "--trace")
        self.assertEqual(status, 0, err)
        end = session_end(session)
        page_lines = [l for l in trace.splitlines() if int(l.split()[0]) <= end]
        self.assertEqual(out.splitlines(), page_lines)

    def test_game_a_traces_as_the_driver_and_its_high_score_outlives_a_reload(self):
        p = self.page()
        p.play(0)
        # Started inside the click: the browser lets it run.
        self.assertEqual(p.js("return cantiere.audioState()"), "running")
        p.open_lid()
        p.tap(*p.at("Puls_GameA"))
        # Jumps (Ctrl) until the game is over with a score: misses on the way.
        for _ in range(3):
            overs = p.trace().count("sound SndOver")
            deadline = time.monotonic() + 150
            while p.trace().count("sound SndOver") == overs and time.monotonic() < deadline:
                p.key(Keys.CONTROL, 0.02)
                time.sleep(0.2)
            # The high score is stored half a second after the game's last
            # sound, when the game ends; a tap before then would be lost, and
            # one after a check made too soon would start a game unasked.
            p.settled(600)
            if "store HiScoreA=" in p.trace():
                break
            p.tap(*p.at("Puls_GameA"))
        trace = p.trace()
        for event in ("sound SndJump", "sound SndMiss", "sound SndOver", "store HiScoreA="):
            self.assertIn(event, trace)
        session, trace, starts = p.js(
            "return [cantiere.session(), cantiere.trace(), cantiere.stats.soundStarts]")
        # Every sound the model played was started on Web Audio.
        for sample, file in SAMPLE_FILES.items():
            self.assertEqual(trace.count(f" sound {sample}\n"), starts.get(file, 0), sample)
        self.assert_driver_agrees(session, trace)
        with tempfile.NamedTemporaryFile("w", suffix=".sim", delete=False) as f:
            f.write(session)
        self.addCleanup(os.unlink, f.name)
        verified = subprocess.run([NATIVE_SIM, "--verify", f.name], capture_output=True, timeout=300)
        self.assertEqual(verified.returncode, 0, verified.stderr)
        # Ten seconds with nothing to play after the game's end, and the
        # output rests; the next game's first sound takes it up again.
        wait_for(lambda: p.js("return cantiere.audioState()") == "suspended", "the sound to rest")
        barrels = starts.get("Barrel.wav", 0)
        p.tap(*p.at("Puls_GameA"))
        wait_for(lambda: p.js("return cantiere.stats.soundStarts['Barrel.wav']") > barrels, "a barrel's sound")
        wait_for(lambda: p.js("return cantiere.audioState()") == "running", "the sound to run again")

        best = int(re.findall(r"store HiScoreA=(\d+)", trace)[-1])
        p.load()
        p.play(2)
        p.open_lid()
        builder, source = p.pointer()
        x, y = p.at("Puls_GameA")
        source.create_pointer_move(x=int(x), y=int(y), origin="viewport")
        source.create_pointer_down(button=0)
        builder.perform()
        # Held, Game A shows its high score: the one stored before the reload.
        digits = f"{best:3d}".replace(" ", "-")
        wanted = [f"digit {i + 2} {d}" for i, d in enumerate(digits) if d != "-"]
        wait_for(lambda: all(w in p.trace() for w in wanted), f"the high score {best} shown")

    def test_a_controller_plays_through_the_gamepad_api(self):
        p = self.page()
        p.play(2)
        p.open_lid()
        # A pad of the standard layout, read by the page's own polling.
        p.js("const pad = { id: 'virtual', index: 0, connected: true, mapping: 'standard',"
             "  timestamp: 0, axes: [0, 0, 0, 0],"
             "  buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })) };"
             "window.virtualPad = pad;"
             "navigator.getGamepads = () => [pad.connected ? pad : null, null, null, null];"
             "const e = new Event('gamepadconnected'); e.gamepad = pad; dispatchEvent(e);")
        button = "virtualPad.buttons[{}] = {{ pressed: {}, touched: {}, value: {} }};"
        axis = "virtualPad.axes[{}] = {};"
        unplug = ("virtualPad.connected = false; const e = new Event('gamepaddisconnected');"
                  "e.gamepad = virtualPad; dispatchEvent(e);")

        def held(index, down):
            return button.format(index, str(down).lower(), str(down).lower(), int(down))

        def inputs():
            """The session's inputs, a held key's repeats as one, and how many repeats."""
            lines = [l for l in p.js("return cantiere.session()").splitlines()
                     if l.startswith(("key", "press", "release"))]
            merged = [l for i, l in enumerate(lines) if i == 0 or not (l.startswith("keydown") and l == lines[i - 1])]
            return [l.split(" ")[0] if l.startswith("press") else l for l in merged], len(lines) - len(merged)

        # What the pad does, and the inputs the handheld is then given (the
        # desktop's mapping); the D-pad is held until its key repeats.
        steps = [
            (held(9, True), ["press"]),  # Start: Game A
            (held(9, False), ["release left"]),
            (axis.format(0, 0.9), ["keydown right"]),  # the stick past half its travel
            (axis.format(0, 0.3), ["keyup right"]),  # and back under 35 %
            (held(0, True), ["keydown ctrl"]),  # south
            (held(0, False), ["keyup ctrl"]),
            (held(14, True), ["keydown left"]),
            (held(14, False), ["keyup left"]),
            (axis.format(0, 0.6) + axis.format(1, -0.4), ["keydown right"]),  # the leading axis
            (axis.format(1, -0.95), ["keyup right", "keydown up"]),  # the other clearly ahead
            (axis.format(0, 0) + axis.format(1, 0), ["keyup up"]),
            (held(3, True), ["press"]),  # north: Time
            (held(3, False), ["release left"]),
            (held(1, True), ["keydown ctrl"]),  # east
            (unplug, ["keyup ctrl"]),  # unplugged, it lets go of what it held
        ]
        expected = inputs()[0]  # the lid's click
        for change, ends in steps:
            if ends == ["keyup left"]:
                wait_for(lambda: inputs()[1] >= 1, "the held D-pad repeating")
            p.js(change)
            expected += ends
            wait_for(lambda: len(inputs()[0]) >= len(expected), f"{ends} after {change}")
            self.assertEqual(inputs()[0][:len(expected)], expected, change)
        self.assert_driver_agrees(p.js("return cantiere.session()"), p.trace())
        # The browser is asked for controllers in the minute after a click or
        # tap, not once a key is played, and again at the next tap.
        self.assertTrue(p.js("return cantiere.padsAsked()"))
        p.key(Keys.SHIFT)
        wait_for(lambda: not p.js("return cantiere.padsAsked()"), "the keyboard chosen")
        p.tap(5, 5)
        wait_for(lambda: p.js("return cantiere.padsAsked()"), "a tap asking for controllers")

    def test_the_size_keys_the_about_box_and_the_documents(self):
        p = self.page()
        p.play(2)
        p.open_lid()
        canvas_width = "return cantiere.drawing.width"
        # The size after each key, the keypad's among them, at ratio 1.
        for key, zoom in [(Keys.ADD, 150), ("=", 200), ("-", 150), (Keys.SUBTRACT, 100), ("+", 150),
                          (Keys.NUMPAD0, 100), ("+", 150), ("+", 200), ("0", 100), ("+", 150), ("+", 200)]:
            p.key(key)
            wait_for(lambda: p.js(canvas_width) == 464 * zoom // 100, f"{zoom} % after {key!r}")
            self.assertEqual(p.js("return localStorage.getItem('cantiere.zoom')"), str(zoom))
        # The about window follows the screen (ratio 1), not the case (2x art).
        about_shown = ("const a = document.getElementById('about'), f = document.getElementById('foto');"
                       "return !a.hidden && f.complete && f.naturalWidth === 252")
        p.key(Keys.F1)
        wait_for(lambda: p.js(about_shown), "the about box by F1")
        p.click_element("about-close")
        wait_for(lambda: p.js("return document.getElementById('about').hidden"), "the about box closed")
        p.menu_choose("About...")
        wait_for(lambda: p.js(about_shown), "the about box by the menu")
        self.assertEqual(p.trace().count(" about\n"), 2)
        # The right click's menu: its entries in their order, the page's own
        # after Exit, and its shortcuts.
        p.tap(*p.at("Im_Front", 0.5, 0.5), button=2)
        wait_for(lambda: p.js("return !document.getElementById('menu').hidden"), "the menu")
        entries = p.js("return [...document.querySelectorAll('#menu > li')].map(li => li.classList.contains('separator')"
                       " ? '-' : [...li.childNodes].filter(n => !['KBD', 'UL'].includes(n.nodeName))"
                       ".map(n => n.textContent).join('').trim() + ' ' + (li.querySelector(':scope > kbd') || {}).textContent)")
        self.assertEqual(entries, [
            "About... F1", "-", "View 'Readme.txt' F2", "View 'Whatsnew.txt' F3", "-", "Open 'Manual.exe' F4", "-",
            "Reset Hiscores undefined", "-", "Exit Esc", "-", "Size undefined", "-", "LCD effects undefined", "-",
            "Save last game... undefined", "Replay a game... undefined"])
        p.key(Keys.ESCAPE)
        wait_for(lambda: p.js("return document.getElementById('menu').hidden"), "the menu closed by Esc")
        # The documents (and the manual, which has no program here) as pages.
        home = p.driver.current_window_handle
        for key, address, title in [(Keys.F2, "readme.html", "Readme.txt"),
                                    (Keys.F3, "whatsnew.html", "Whatsnew.txt"),
                                    (Keys.F4, "readme.html#playing", "Readme.txt")]:
            p.driver.switch_to.window(home)
            p.key(key)
            tab = wait_for(lambda: [h for h in p.driver.window_handles if h != home], f"the page of {key!r}")[0]
            p.driver.switch_to.window(tab)
            wait_for(lambda: p.driver.title == title, f"{address} loaded")
            self.assertTrue(p.driver.current_url.endswith("/" + address), p.driver.current_url)
            if "#" in address:
                self.assertTrue(p.js("return !!document.getElementById('playing')"))
            p.driver.close()
        p.driver.switch_to.window(home)
        # The keys that change the size left the game's inputs alone.
        self.assertNotIn("keydown", p.js("return cantiere.session()"))

    def test_a_recording_dropped_on_the_page_replays(self):
        p = self.page("")
        p.play(2)
        p.open_lid()

        def drop(path):
            x, y = p.at("Im_Front")
            for kind in ("dragEnter", "dragOver", "drop"):
                p.driver.execute_cdp_cmd("Input.dispatchDragEvent", {
                    "type": kind, "x": x, "y": y,
                    "data": {"items": [], "files": [path], "dragOperationsMask": 1}})

        with tempfile.TemporaryDirectory() as folder:
            damaged = os.path.join(folder, "damaged.sim")
            with open(damaged, "wb") as f:
                f.write(b"# cantiere-recording 1\nwait -5\n\xff\x00press\n")
            drop(damaged)
            wait_for(lambda: p.js("return !document.getElementById('message').hidden"), "the refusal")
        self.assertIn("damaged.sim", p.js("return document.querySelector('#message .text').textContent"))
        self.assertEqual(p.driver.title, "Cantiere (Ludoria) Simulator")
        p.click_element("message-ok")
        drop(os.path.join(os.path.dirname(os.path.abspath(__file__)), "desktop_game.sim"))
        wait_for(lambda: "Replay of desktop_game.sim" in p.driver.title, "the dropped replay")
        p.key("4")
        wait_for(lambda: "(ended)" in p.driver.title, "the replay's end", 120)
        p.key(Keys.ESCAPE)
        wait_for(lambda: p.driver.title == "Cantiere (Ludoria) Simulator", "the handheld back")

    def test_a_phone_held_upright_plays_by_touch(self):
        p = self.page(width=390, height=844, ratio=3, touch=True)
        p.play(2, kind="touch")
        p.open_lid(kind="touch")
        fits = p.js("const r = document.getElementById('handheld').getBoundingClientRect();"
                    "return r.left >= 0 && r.top >= 0 && r.right <= innerWidth + 0.5 && r.bottom <= innerHeight + 0.5")
        self.assertTrue(fits)
        # Sharp: one canvas pixel a device pixel.
        self.assertTrue(p.js("const r = document.getElementById('handheld').getBoundingClientRect();"
                             "return Math.abs(cantiere.drawing.width - r.width * devicePixelRatio) < 1"))
        p.tap(*p.at("Puls_GameA"), kind="touch")
        wait_for(lambda: "+Im_GameA" in p.trace(), "Game A")
        # The pad's right arm and the jump button, under the thumbs.
        p.tap(*p.at("Puls_Cross2", 0.9, 0.5), kind="touch", hold=0.1)
        p.tap(*p.at("Puls_Jump"), kind="touch", hold=0.1)
        session = wait_for(lambda: (lambda s: "keyup ctrl" in s and s)(p.js("return cantiere.session()")),
                           "the jump recorded")
        self.assertIn("keydown right", session)
        self.assertIn("keyup right", session)
        # A drag of the case by a finger moves it, and nothing scrolls or zooms.
        before = p.js("return document.getElementById('handheld').getBoundingClientRect().top")
        builder, source = p.pointer("touch")
        x, y = p.at("Im_Front", 0.5, 0.3)
        source.create_pointer_move(x=int(x), y=int(y), origin="viewport")
        source.create_pointer_down(button=0)
        for step in range(1, 6):
            source.create_pointer_move(x=int(x), y=int(y + 8 * step), origin="viewport")
        source.create_pointer_up(button=0)
        builder.perform()
        wait_for(lambda: p.js("return document.getElementById('handheld').getBoundingClientRect().top") != before,
                 "the case dragged")
        self.assertEqual(p.js("return [scrollX, scrollY, visualViewport.scale]"), [0, 0, 1])
        # A long press opens the menu.
        p.tap(*p.at("Im_Front", 0.5, 0.2), kind="touch", hold=1.0)
        wait_for(lambda: p.js("return !document.getElementById('menu').hidden"), "the menu by a long press")

    def check_canvas(self, p, zoom):
        session = p.js("return cantiere.session()")
        with tempfile.TemporaryDirectory() as folder:
            png = os.path.join(folder, "s.png")
            # The page's own inputs, then a picture of where they led.
            inputs = session.split("\n", 1)[1].split("# final state")[0]
            script = inputs + f"wait 500\nsnapshot {png} {zoom}\n"
            settings = os.path.join(folder, "settings.ini")
            effects = p.js("return cantiere.effects()")
            with open(settings, "w") as f:
                f.write(f"[General]\nLcdEffects={1 if effects else 0}\n")
            status, _, err = run_driver(script, "--settings", settings)
            self.assertEqual(status, 0, err)
            with open(png, "rb") as f:
                want, width, height, channels = read_png(f.read())
        cw, ch, got = p.canvas_rgba()
        self.assertEqual((cw, ch), (width, height))
        shown = outside = 0
        for i in range(width * height):
            if got[i * 4 + 3] == 255:
                shown += 1
                if got[i * 4:i * 4 + 3] != want[i * channels:i * channels + 3]:
                    self.fail(f"pixel {i % width},{i // width} at {zoom} %: "
                              f"{tuple(got[i * 4:i * 4 + 3])} != {tuple(want[i * channels:i * channels + 3])}")
            else:
                self.assertEqual(got[i * 4 + 3], 0)
                outside += 1
        # The case's rounded corners and the hinge's sides let the page show.
        self.assertGreater(outside, 0)
        self.assertGreater(shown, width * height * 0.9)
        # And the screen shows what was drawn: the browser's own picture of
        # the page, where the canvas is, has the case's every pixel.
        left, top = p.js("const r = document.getElementById('handheld').getBoundingClientRect();"
                         "return [Math.round(r.left * devicePixelRatio), Math.round(r.top * devicePixelRatio)]")

        def differing_on_screen():
            shot, sw, sh, sc = read_png(p.driver.get_screenshot_as_png())
            wrong = 0
            for y in range(max(0, -top), min(height, sh - top)):
                for x in range(max(0, -left), min(width, sw - left)):
                    i, j = y * width + x, (top + y) * sw + left + x
                    if got[i * 4 + 3] == 255 and got[i * 4:i * 4 + 3] != shot[j * sc:j * sc + 3]:
                        wrong += 1
            return wrong

        wait_for(lambda: differing_on_screen() == 0, f"the screen to show the canvas at {zoom} %", 20)

    def test_the_canvas_is_the_drivers_snapshot(self):
        p = self.page("")
        p.play(2)
        p.open_lid()
        p.menu_choose("LCD effects")  # off
        wait_for(lambda: not p.js("return cantiere.effects()"), "the effects off")
        p.settled()
        self.check_canvas(p, 100)
        p.menu_choose("200 %", submenu=True)
        wait_for(lambda: p.js("return cantiere.drawing.width") == 928, "200 %")
        p.settled()
        self.check_canvas(p, 200)
        p.menu_choose("LCD effects")  # on again
        wait_for(lambda: p.js("return cantiere.effects()"), "the effects on")
        p.settled()
        self.check_canvas(p, 200)

    def test_the_canvas_is_sharp_on_a_dense_screen(self):
        # The launcher comes from the first sheet alone; the case waits for
        # the rest, and is then drawn whole.
        GatedHandler.rest.clear()
        self.addCleanup(GatedHandler.rest.set)
        p = self.page("", ratio=2, width=1000, height=1000)
        # The slide from the 2x art: a device pixel each of its pixels.
        wait_for(lambda: p.js("const s = document.getElementById('slide');"
                              "return cantiere.stats.firstFrameMs && s.complete && s.naturalWidth === 396"
                              " && s.getBoundingClientRect().width === 198"), "the launcher's first frame")
        p.play(2)
        p.settled()
        self.assertEqual(p.js("return [!!cantiere.stats.wholeArt, cantiere.stats.puts]"), [False, 0])
        GatedHandler.rest.set()
        wait_for(lambda: p.js("return cantiere.stats.wholeArt"), "the rest of the pictures")
        p.settled()
        # 100 % on a screen of ratio 2 is drawn as the driver draws 200 %.
        self.check_canvas(p, 200)
        p.open_lid()
        p.settled()
        self.assertTrue(p.js("return cantiere.effects()"))
        self.check_canvas(p, 200)

    def test_a_saved_game_verifies_and_a_desktop_recording_replays(self):
        p = self.page("")
        p.play(2)
        p.open_lid()
        p.tap(*p.at("Puls_GameA"))
        for key in (Keys.CONTROL, Keys.ARROW_RIGHT, Keys.CONTROL):
            p.key(key, 0.05)
        p.settled(1000)
        # A step draws only segments: its first frame comes 12 ms on, as
        # they start to show, where a barrel's waits for 20 or more.
        asked = []
        for key in (Keys.ARROW_RIGHT, Keys.ARROW_LEFT) * 2:
            p.js("cantiere.stats.keyFrameAfter = undefined")
            p.key(key, 0.05)
            asked.append(p.js("return cantiere.stats.keyFrameAfter"))
            p.settled(200)
        self.assertTrue(any(a is not None for a in asked), asked)
        self.assertTrue(all(a is None or a <= 12 for a in asked), asked)
        p.menu_choose("Save last game...")
        saved = wait_for(lambda: p.js("return cantiere.stats.saved"), "the saved game")
        with tempfile.TemporaryDirectory() as folder:
            game = os.path.join(folder, "game.sim")
            with open(game, "w") as f:
                f.write(saved)
            verified = subprocess.run([NATIVE_SIM, "--verify", game], capture_output=True, timeout=300)
            self.assertEqual(verified.returncode, 0, verified.stderr)
        # A game recorded by the desktop program, chosen in the file picker.
        recording = os.path.join(os.path.dirname(os.path.abspath(__file__)), "desktop_game.sim")
        p.driver.find_element("id", "replay-file").send_keys(recording)
        wait_for(lambda: "Replay of desktop_game.sim" in p.driver.title, "the replay")
        p.key("4")
        wait_for(lambda: "(ended)" in p.driver.title, "the replay's end", 120)
        p.settled(0)
        # Its last picture is the driver's of the recording's end.
        with open(recording) as f:
            inputs = f.read().split("\n", 1)[1].split("# final state")[0]
        with tempfile.TemporaryDirectory() as folder:
            png = os.path.join(folder, "end.png")
            # Drawn before the Exit that ended the desktop's session.
            status, _, err = run_driver(inputs.replace("menu PM_10Exit", f"snapshot {png}\nmenu PM_10Exit"))
            self.assertEqual(status, 0, err)
            with open(png, "rb") as f:
                want, width, height, channels = read_png(f.read())
        cw, ch, got = p.canvas_rgba()
        self.assertEqual((cw, ch), (width, height))
        differing = sum(1 for i in range(width * height)
                        if got[i * 4 + 3] == 255 and got[i * 4:i * 4 + 3] != want[i * channels:i * channels + 3])
        self.assertEqual(differing, 0)
        # Esc gives the handheld back as it was.
        p.key(Keys.ESCAPE)
        wait_for(lambda: p.driver.title == "Cantiere (Ludoria) Simulator", "the handheld back")
        self.assertIn("keydown right", saved)


if __name__ == "__main__":
    SITE, NATIVE_SIM = sys.argv[1], sys.argv[2]
    if not os.path.exists(os.path.join(SITE, "index.html")):
        print(f"SKIPPED: {SITE} is not built (scripts/web.sh needs emscripten)")
        sys.exit(77)
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
