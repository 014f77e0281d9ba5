#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""selvane-web in a phone-sized headless Chromium, against the simulator, reading the bytes the
simulator received: held moves and their stops (release, closed tab, dead heartbeat, two pages), a
planet found by name and GOTO'd, the Sun refused, a foreign Origin refused, and the token.
Usage: browser_test.py SELVANE_WEB SELVANE_SIM. Exit 77 when no browser can be driven here.
With SELVANE_SCREENSHOTS=DIR, day and night screenshots go to DIR."""
import http.server, os, re, signal, subprocess, sys, tempfile, threading, time, urllib.error, urllib.request

try:
    from selenium import webdriver
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.chrome.service import Service
except ImportError:
    sys.exit(77)
sys.dont_write_bytecode = True  # the helper beside this script leaves nothing in the source tree
from start_web import start_web

WEB, SIM = sys.argv[1], sys.argv[2]
STOP_LIMIT_S = 1.5
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def wait_for(condition, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.02)
    return condition()


class Simulator:
    """selvane-sim, and every command it received, with when it was read."""
    def __init__(self):
        self.process = subprocess.Popen([SIM, "--slew-rate", "60"], stdout=subprocess.PIPE, text=True)
        self.device = self.process.stdout.readline().strip()
        self.commands = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            m = re.match(r'\s*[\d.]+ <- "(.*)"$', line.rstrip("\n"))
            if m:
                self.commands.append((time.monotonic(), m.group(1)))

    def mark(self):
        return len(self.commands)

    def since(self, mark):
        """What came after the mark, position queries left out, as one text."""
        return "".join(c for _, c in self.commands[mark:] if c not in (":R#", ":D#"))

    def when(self, mark, text):
        for t, c in self.commands[mark:]:
            if c == text:
                return t
        return None


class BlankPage(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.end_headers()
        self.wfile.write(b"<!DOCTYPE html><title>ailleurs</title>")

    def log_message(self, *args):
        pass


# Every browser's profile under one folder, removed when the test ends.
PROFILES = tempfile.TemporaryDirectory(prefix="selvane-chromium-", ignore_cleanup_errors=True)


def browser(language="fr-FR"):
    options = webdriver.ChromeOptions()
    options.add_experimental_option("prefs", {"intl.accept_languages": language})
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=390,844", "--lang=" + language,
                     "--user-data-dir=" + tempfile.mkdtemp(dir=PROFILES.name)):
        options.add_argument(argument)
    options.binary_location = "/usr/bin/chromium"
    try:
        return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    except Exception as e:  # no browser here: skipped, not failed
        print("no browser:", e)
        sys.exit(77)


def open_page(driver, url):
    driver.get(url)
    return wait_for(lambda: driver.find_element(By.ID, "ra").text not in ("00h 00m 00s", ""), 8)


def hold(driver, element_id):
    ActionChains(driver).click_and_hold(driver.find_element(By.ID, element_id)).perform()


def let_go(driver):
    ActionChains(driver).release().perform()


def dialog(driver):
    wait_for(lambda: driver.find_element(By.ID, "fond").is_displayed(), 5)
    return driver.find_element(By.ID, "question").text


def log_text(driver):
    return driver.find_element(By.ID, "edtsaisie").text


def foreign_socket(driver, url):
    """A WebSocket opened from this page to a URL: 'state' if the server spoke, 'closed' if not."""
    return driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        let s;
        try { s = new WebSocket(arguments[0]); } catch (e) { done('refused by the page: ' + e.name); return; }
        s.onmessage = () => done('state');
        s.onclose = () => done('closed');
        setTimeout(() => done('timeout'), 4000);""", url)


def main():
    sim = Simulator()
    web, port, url = start_web([WEB, "--port", sim.device])
    check(url == "http://127.0.0.1:%d/" % port, "the first line is the page's address: " + url)
    a = browser()
    b = None
    try:
        check(open_page(a, url), "the position is shown: %s %s" % (a.find_element(By.ID, "ra").text,
                                                                    a.find_element(By.ID, "dec").text))
        names = [e.accessible_name for e in a.find_elements(By.CSS_SELECTOR, "button, input")]
        for name in ("N", "S", "E", "O", "Sidéral", "Rattrapage", "Centrage", "Rapide", "Autoguidage", "Objet",
                     "GOTO référence", "Init référence", "Aligner"):
            check(name in names, "a control is named %r" % name)
        # A browser that reads English: the page and the server's words in English, nothing French left.
        e = browser("en-GB")
        try:
            check(open_page(e, url), "the English page shows the position")
            check(wait_for(lambda: "Sidereal" in [x.accessible_name for x in e.find_elements(By.CSS_SELECTOR, "input")], 5),
                  "English captions arrive")
            english = [x.accessible_name for x in e.find_elements(By.CSS_SELECTOR, "button, input")]
            for name in ("N", "S", "E", "W", "Sidereal", "Find", "Object", "GOTO reference", "Init reference", "Align"):
                check(name in english, "an English control is named %r: %s" % (name, english))
            e.find_element(By.ID, "btninitialisation").click()
            question = dialog(e)
            french = [n for n in names if n not in ("", "N", "S", "E", "Minutes")]
            check(question and "Etes-vous" not in question and not set(french) & set(english),
                  "English question %r; French left: %s" % (question, set(french) & set(english)))
            e.find_element(By.ID, "annuler").click()
            e.save_screenshot(os.path.join(tempfile.gettempdir(), "selvane-web-en.png"))
        finally:
            e.quit()

        small = [e.get_attribute("id") for e in a.find_elements(By.CSS_SELECTOR, "button")
                 if e.is_displayed() and min(e.size["width"], e.size["height"]) < 48]
        check(not small, "every button is at least 48 px: %s" % small)

        # Hold N at Rapide, then let go.
        a.find_element(By.XPATH, "//label[normalize-space()='Rapide']").click()
        time.sleep(0.3)
        m = sim.mark()
        hold(a, "btnNord")
        time.sleep(0.8)
        let_go(a)
        wait_for(lambda: sim.since(m).endswith(":S#"), 2)
        check(sim.since(m) == ":M#  :n#:0#:S#", "hold N at Rapide, release: %r" % sim.since(m))

        # Hold O in another tab, then close the tab.
        first = a.current_window_handle
        a.switch_to.new_window("tab")
        open_page(a, url)
        m = sim.mark()
        hold(a, "btnOuest")
        wait_for(lambda: ":w#" in sim.since(m), 2)
        closed = time.monotonic()
        a.close()
        a.switch_to.window(first)
        wait_for(lambda: sim.since(m) == ":M#  :w#:w#:S#", 3)
        stopped = sim.when(m + 2, ":S#")
        check(sim.since(m) == ":M#  :w#:w#:S#" and stopped and stopped - closed <= STOP_LIMIT_S,
              "hold O, close the tab: %r in %.2f s" % (sim.since(m), (stopped or 99) - closed))

        # Hold E, then the heartbeat dies (the page frozen, the network gone) while the socket stays.
        a.refresh()
        open_page(a, url)
        m = sim.mark()
        hold(a, "btnEst")
        wait_for(lambda: ":e#" in sim.since(m), 2)
        a.execute_script("WebSocket.prototype.send = function () {};")
        silent = time.monotonic()
        wait_for(lambda: sim.since(m).endswith(":S#"), 3)
        stopped = sim.when(m + 2, ":S#")
        check(sim.since(m) == ":M#  :e#:w#:S#" and stopped and stopped - silent <= STOP_LIMIT_S + 0.25,
              "hold E, heartbeat stops: %r in %.2f s" % (sim.since(m), (stopped or 99) - silent))
        let_go(a)
        a.refresh()
        open_page(a, url)

        # Jupiter by name, GOTO and OK.
        objet = a.find_element(By.ID, "objet")
        objet.send_keys("jupiter")
        wait_for(lambda: a.find_element(By.ID, "propositions").is_displayed(), 3)
        first_suggestion = a.find_element(By.CSS_SELECTOR, "#propositions button").text
        check(first_suggestion == "Jupiter", "'jupiter' suggests Jupiter first: %r" % first_suggestion)
        objet.send_keys(Keys.ENTER)
        wait_for(lambda: objet.get_attribute("value") == "Jupiter", 3)
        fields = [a.find_element(By.ID, i).get_attribute("value") for i in
                  ("EdtADrefHrs", "EdtADrefMin", "EdtADrefSec", "EdtDECrefDeg", "EdtDECrefMin", "EdtDECrefSec")]
        try:
            import ephem
            j = ephem.Jupiter()
            j.compute(ephem.now())
            ra_h = float(j.ra) * 12 / 3.141592653589793
            dec_d = float(j.dec) * 180 / 3.141592653589793
            f_ra = int(fields[0]) + int(fields[1]) / 60 + int(fields[2]) / 3600
            sign = -1 if fields[3].startswith("-") else 1
            f_dec = sign * (abs(int(fields[3])) + int(fields[4]) / 60 + int(fields[5]) / 3600)
            check(abs(f_ra - ra_h) * 15 * 3600 < 120 and abs(f_dec - dec_d) * 3600 < 120,
                  "Jupiter's place of the date in the fields: %s" % fields)
        except ImportError:
            print("skip: python3-ephem absent, Jupiter's place not compared")
        m = sim.mark()
        a.find_element(By.ID, "BtnGOTO").click()
        check(dialog(a) == "Etes-vous sûr de vouloir faire un GOTO référence?", "the GOTO question")
        a.find_element(By.ID, "ok").click()
        wait_for(lambda: ":T#" in sim.since(m), 3)
        check(re.match(r"^:r[+-]\d+,[+-]\d+#:d[+-]\d+,[+-]\d+#:T#", sim.since(m)) is not None,
              "the GOTO's bytes: %r" % sim.since(m)[:40])
        check(wait_for(lambda: "GOTO terminé" in log_text(a), 30), "the GOTO ends and the page says so")

        # The Sun: the warning, Cancel the default, nothing sent.
        objet.clear()
        objet.send_keys("soleil")
        wait_for(lambda: a.find_element(By.ID, "propositions").is_displayed(), 3)
        objet.send_keys(Keys.ENTER)
        wait_for(lambda: objet.get_attribute("value") == "Soleil", 3)
        m = sim.mark()
        a.find_element(By.ID, "BtnGOTO").click()
        dialog(a)
        a.find_element(By.ID, "ok").click()
        time.sleep(0.3)
        text = dialog(a)
        check(text.startswith("Attention : la cible est à 0° du Soleil."), "the Sun's warning: %r" % text[:50])
        check(a.switch_to.active_element.get_attribute("id") == "annuler", "Annuler is the default")
        a.find_element(By.ID, "annuler").click()
        time.sleep(1)
        check(sim.since(m) == "", "nothing sent on Annuler: %r" % sim.since(m))
        check("GOTO annulé : Soleil à 0°" in log_text(a), "the log says the GOTO was cancelled")

        # A live channel from another origin is refused.
        # A page of another site, in the same browser, opens a live channel to the mount.
        other = http.server.HTTPServer(("127.0.0.1", 0), BlankPage)
        threading.Thread(target=other.serve_forever, daemon=True).start()
        a.switch_to.new_window("tab")
        a.get("http://127.0.0.1:%d/" % other.server_address[1])
        result = foreign_socket(a, "ws://127.0.0.1:%d/live" % port)
        check(result == "closed", "a WebSocket from another Origin is refused: " + result)
        a.close()
        a.switch_to.window(first)
        other.shutdown()

        # Two pages: one holds N, the other presses S; the line gets what the window would send.
        b = browser()
        open_page(b, url)
        m = sim.mark()
        hold(a, "btnNord")
        wait_for(lambda: ":n#" in sim.since(m), 2)
        hold(b, "btnSud")
        time.sleep(0.4)
        let_go(b)
        time.sleep(0.3)
        let_go(a)
        time.sleep(0.5)
        check(sim.since(m) == ":M#  :n#:0#:S#:M#  :s#:0#:S#", "two pages, N held and S pressed: %r" % sim.since(m))

        shots = os.environ.get("SELVANE_SCREENSHOTS")
        if shots:
            a.save_screenshot(os.path.join(shots, "web-jour.png"))
            a.find_element(By.XPATH, "//label[contains(@class,'switch')]").click()
            a.refresh()
            open_page(a, url)
            a.save_screenshot(os.path.join(shots, "web-nuit.png"))
    finally:
        a.quit()
        if b:
            b.quit()
        web.send_signal(signal.SIGTERM)
        web.wait(5)

    # On the network: without the token, or with a wrong one, nothing; with it, the page.
    web, port, url = start_web([WEB, "--port", sim.device], "0.0.0.0")
    token = re.search(r"\?t=([0-9a-f]{32})$", url)
    check(token is not None, "on the network the address carries a 128-bit token: " + url)
    a = browser()
    try:
        m = sim.mark()
        for address in ("http://127.0.0.1:%d/" % port, "http://127.0.0.1:%d/?t=%s" % (port, "0" * 32),
                        "http://127.0.0.1:%d/app.js" % port):
            try:
                status = urllib.request.urlopen(address, timeout=5).status
            except urllib.error.HTTPError as e:
                status = e.code
            check(status == 403, "%s gives %d" % (address, status))
        a.get("http://127.0.0.1:%d/?t=%s" % (port, "0" * 32))
        check(foreign_socket(a, "ws://127.0.0.1:%d/live" % port) == "closed", "a WebSocket without the cookie is refused")
        check(sim.since(m) == "", "nothing sent without the token")
        check(open_page(a, url.replace(url.split("/")[2].split(":")[0], "127.0.0.1", 1)), "the page opens with the token")
        m = sim.mark()
        hold(a, "btnSud")
        time.sleep(0.5)
        let_go(a)
        wait_for(lambda: sim.since(m).endswith(":S#"), 2)
        check(sim.since(m).endswith(":s#:0#:S#"), "with the token the pad works: %r" % sim.since(m))
    finally:
        a.quit()
        web.send_signal(signal.SIGTERM)
        web.wait(5)
        sim.process.send_signal(signal.SIGINT)
        sim.process.wait(5)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


sys.exit(main())
