#!/usr/bin/python3
"""The web build's faults get words: the fault page for a missing asset and for a browser
without WebGL 2; a notice, and the demo going on, for music that cannot be decoded and for a
lost WebGL context.

usage: web_faults_test.py SITE
"""
import argparse
import os
import shutil
import tempfile
import time

import devtools
import pagecheck
import serve

MISSING_ASSET = "Images/sky5.jpg"
MUSIC = "Music/virtaus.ogg"
NO_WEBGL2_FLAG = "--disable-webgl2"  # leaves WebGL 1, so the page must ask for WebGL 2 itself

FAULT_PAGE_JS = r"""(() => {
  const element = document.querySelector('#fault');
  if (!element) return null;
  const style = getComputedStyle(element);
  return {visible: style.display !== 'none' && style.visibility !== 'hidden' &&
                   element.getClientRects().length > 0,
          text: element.innerText, fault: window.lumivaara.fault};
})()"""


def fault_page(browser, url):
    """The fault page's text, after checking the page reached the fault phase and shows it."""
    browser.navigate(url)
    phase = pagecheck.settled_phase(browser, timeout=120)
    if phase != "fault":
        raise pagecheck.Failure("the page reached %r, not \"fault\"" % phase)
    page = browser.evaluate(FAULT_PAGE_JS)
    if page is None:
        raise pagecheck.Failure("the page has no #fault element")
    if not page["visible"]:
        raise pagecheck.Failure("#fault is not visible in the fault phase")
    if not page["fault"]:
        raise pagecheck.Failure("lumivaara.fault is empty in the fault phase")
    print("fault page: %r" % page["text"])
    return page["text"]


def check_missing_asset(site):
    url, stop = serve.start(site, missing={MISSING_ASSET})
    try:
        with devtools.Browser() as browser:
            text = fault_page(browser, url)
            if MISSING_ASSET not in text:
                raise pagecheck.Failure("the fault page does not name %s" % MISSING_ASSET)
            # The browser reports the 404 itself; anything else is the page's fault.
            pagecheck.expect_no_console_errors(
                browser, allowed=lambda t: "404" in t and MISSING_ASSET in t)
    finally:
        stop()


def check_no_webgl2(site):
    url, stop = serve.start(site)
    try:
        with devtools.Browser([NO_WEBGL2_FLAG]) as browser:
            if browser.evaluate("!!document.createElement('canvas').getContext('webgl2')"):
                raise pagecheck.Failure("%s no longer disables WebGL 2 in this Chromium"
                                        % NO_WEBGL2_FLAG)
            text = fault_page(browser, url)
            if "WebGL 2" not in text:
                raise pagecheck.Failure("the fault page does not mention WebGL 2")
            pagecheck.expect_no_console_errors(browser)
    finally:
        stop()


def play(browser, url):
    browser.navigate(url)
    phase = pagecheck.settled_phase(browser, passing=("loading", "ready"), timeout=120)
    if phase != "playing":
        raise pagecheck.Failure("the page reached %r, not \"playing\"" % phase)


def stats(browser):
    return browser.evaluate("window.lumivaara.stats()")


def check_undecodable_music(site):
    with tempfile.TemporaryDirectory(prefix="lumivaara-site-") as copy:
        copy = os.path.join(copy, "site")
        shutil.copytree(site, copy)
        with open(os.path.join(copy, MUSIC), "wb") as music:
            music.write(b"not Ogg Vorbis" * 1000)
        url, stop = serve.start(copy)
        try:
            with devtools.Browser() as browser:
                play(browser, url + "?autoplay")
                notice = browser.evaluate("window.lumivaara.notice") or ""
                print("notice: %r" % notice)
                if "music" not in notice:
                    raise pagecheck.Failure("no notice says the music could not be played")
                first = stats(browser)
                time.sleep(1.5)
                second = stats(browser)
                if second["audio"] != "none" or second["clockMs"] - first["clockMs"] < 1000:
                    raise pagecheck.Failure("the demo does not go on on the system clock: %r, %r"
                                            % (first, second))
                pagecheck.expect_no_console_errors(browser)
        finally:
            stop()


# Loses the canvas's context through WEBGL_lose_context (the page's own context object).
LOSE_JS = """(() => { window.loser = document.getElementById('canvas').getContext('webgl2')
                        .getExtension('WEBGL_lose_context');
                      window.loser.loseContext(); return true; })()"""


def check_lost_context(site):
    url, stop = serve.start(site)
    try:
        with devtools.Browser() as browser:
            play(browser, url + "?autoplay#t=100")
            browser.wait_until("window.lumivaara.stats().framesDrawn >= 2", timeout=60)
            browser.evaluate(LOSE_JS)
            browser.wait_until("window.lumivaara.notice !== null", timeout=30)
            print("notice: %r" % browser.evaluate("window.lumivaara.notice"))
            lost = stats(browser)
            time.sleep(1.0)
            if stats(browser)["demoMs"] != lost["demoMs"]:
                raise pagecheck.Failure("the demo went on drawing without a context")
            browser.evaluate("window.loser.restoreContext(), true")
            browser.wait_until("window.lumivaara.notice === null && "
                               "window.lumivaara.stats().framesDrawn >= 2", timeout=60)
            back = stats(browser)
            print("lost at %d ms, drawing again at %d ms" % (lost["demoMs"], back["demoMs"]))
            if not lost["demoMs"] <= back["demoMs"] < lost["demoMs"] + 3000:
                raise pagecheck.Failure("the demo did not go on from the moment it was lost")
            pagecheck.expect_no_console_errors(browser)
    finally:
        stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("site")
    args = parser.parse_args()
    print("missing asset:")
    check_missing_asset(args.site)
    print("no WebGL 2:")
    check_no_webgl2(args.site)
    print("music that cannot be decoded:")
    check_undecodable_music(args.site)
    print("a lost WebGL context:")
    check_lost_context(args.site)


if __name__ == "__main__":
    pagecheck.run(main)
