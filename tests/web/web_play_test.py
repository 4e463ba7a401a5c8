#!/usr/bin/python3
"""The web build plays five real seconds with sound on: its clock follows the audio and
frames are drawn, with no console error. Then its tab goes to the background: nothing is drawn
while the music keeps the clock, and shown again the picture goes on at the clock's time.

usage: web_play_test.py SITE
"""
import argparse
import time

import devtools
import pagecheck
import serve

PLAY_SECONDS = 5.0
CLOCK_TOLERANCE_S = 0.6   # the clock's advance against the real time that passed
AUDIO_TOLERANCE_S = 0.25  # the clock's advance against the audio's
MIN_FRAMES = 10
HIDDEN_SECONDS = 2.0


def sample(browser):
    """stats() and the real time it was taken at."""
    stats = browser.evaluate("window.lumivaara.stats()", timeout=10)
    return time.monotonic(), stats


def play(browser, url):
    browser.navigate(url + "?autoplay")
    phase = pagecheck.settled_phase(browser, passing=("loading", "ready"), timeout=120)
    if phase != "playing":
        raise pagecheck.Failure("the page reached %r instead of playing (fault: %s)"
                                % (phase, browser.evaluate("window.lumivaara.fault")))
    samples = [sample(browser)]
    while samples[-1][0] - samples[0][0] < PLAY_SECONDS:
        time.sleep(0.5)
        samples.append(sample(browser))
    return samples


def check(samples):
    (real0, first), (real1, last) = samples[0], samples[-1]
    for real, stats in samples:
        print("%6.2f s  %s" % (real - real0, stats))
    real = real1 - real0
    clock = (last["clockMs"] - first["clockMs"]) / 1000
    if abs(clock - real) > CLOCK_TOLERANCE_S:
        raise pagecheck.Failure("the clock advanced %.2f s in %.2f real seconds" % (clock, real))
    bad_audio = [s["audio"] for _, s in samples if s["audio"] != "playing"]
    if bad_audio:
        raise pagecheck.Failure("audio was %r, not \"playing\"" % bad_audio[0])
    if "audioTimeS" not in first or "audioTimeS" not in last:
        raise pagecheck.Failure("stats() gives no audioTimeS while the audio plays")
    audio = last["audioTimeS"] - first["audioTimeS"]
    if abs(clock - audio) > AUDIO_TOLERANCE_S:
        raise pagecheck.Failure("the clock advanced %.2f s, the audio %.2f s" % (clock, audio))
    # Chromium here draws WebGL on SwiftShader, a software rasteriser.
    if last["renderPath"] != "software":
        raise pagecheck.Failure("on SwiftShader the page chose the %s path" % last["renderPath"])
    frames = last["framesDrawn"] - first["framesDrawn"]
    if frames < MIN_FRAMES:
        raise pagecheck.Failure("only %d frames drawn in %.2f s" % (frames, real))
    print("clock %.2f s, audio %.2f s, real %.2f s, %d frames (%.1f fps)"
          % (clock, audio, real, frames, frames / real))


def check_background(browser):
    # Another tab in front hides ours, as in a desktop browser.
    tab = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
    browser.wait_until("document.visibilityState === 'hidden'", timeout=10)
    _, hidden = sample(browser)
    time.sleep(HIDDEN_SECONDS)
    _, still = sample(browser)
    browser.send("Target.closeTarget", {"targetId": tab})
    browser.wait_until("document.visibilityState === 'visible'", timeout=10)
    _, shown = sample(browser)
    print("hidden %s\nstill  %s\nshown  %s" % (hidden, still, shown))
    if still["clockMs"] - hidden["clockMs"] < HIDDEN_SECONDS * 1000 - 300:
        raise pagecheck.Failure("the clock stopped while the tab was hidden")
    if still["framesDrawn"] != hidden["framesDrawn"]:
        raise pagecheck.Failure("frames were drawn while the tab was hidden")
    if shown["demoMs"] < still["clockMs"]:
        raise pagecheck.Failure("shown again, the picture is at %d ms, the clock was at %d ms "
                                "before" % (shown["demoMs"], still["clockMs"]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("site")
    args = parser.parse_args()
    url, stop = serve.start(args.site)
    try:
        with devtools.Browser() as browser:
            check(play(browser, url))
            check_background(browser)
            pagecheck.expect_no_console_errors(browser)
    finally:
        stop()


if __name__ == "__main__":
    pagecheck.run(main)
