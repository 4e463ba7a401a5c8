#!/usr/bin/python3
"""Frames drawn by the web build at one moment of every timeline row, compared with the
desktop build's OpenGL ES frames at the same moments, on one render path.

usage: web_frames_test.py SITE NATIVE_BUILD [--render gl|software] [--scratch DIR] [--save DIR]
"""
import argparse
import base64
import concurrent.futures
import glob
import os
import shutil
import subprocess
import tempfile
import time

import devtools
import pagecheck
import serve

MOMENTS_MS = [10000, 22000, 28000, 33000, 50000, 90000, 115000, 124000, 145000, 180000,
              200000, 240000, 290000, 315000, 327000]
# Two rasterisers (SwiftShader, llvmpipe) place the odd edge or spark pixel differently, so a
# frame may hold a few pixels far off; what must hold is the picture as a whole.
NEAR_LEVELS = 8                # a pixel whose channels are all within this is "near"
MAX_FAR_SHARE = 0.01           # the share of pixels that may be farther off
MEAN_LEVEL_DIFFERENCE = 1.0    # largest mean difference of a channel over the frame
CAPTURE_JOBS = 2             # the machine has two cores

# Compares show(ms) with /ref/NAME.png inside the page, so only the figures cross the protocol.
COMPARE_JS = r"""
window.lumivaaraCompare = async (ms, name) => {
  const frame = window.lumivaara.show(ms);
  const reply = await fetch('/ref/' + name + '.png');
  if (!reply.ok) throw new Error('reference ' + name + '.png: ' + reply.status);
  const bitmap = await createImageBitmap(await reply.blob(),
      {colorSpaceConversion: 'none', premultiplyAlpha: 'none'});
  if (bitmap.width !== frame.width || bitmap.height !== frame.height)
    throw new Error('frame is ' + frame.width + 'x' + frame.height + ', reference ' +
                    bitmap.width + 'x' + bitmap.height);
  const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
  context.drawImage(bitmap, 0, 0);
  const ref = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
  const rgb = frame.rgb, max = [0, 0, 0], sum = [0, 0, 0];
  let far = 0;
  for (let p = 0, q = 0; q < rgb.length; p += 4, q += 3) {
    let worst = 0;
    for (let c = 0; c < 3; c++) {
      const d = Math.abs(rgb[q + c] - ref[p + c]);
      sum[c] += d;
      if (d > max[c]) max[c] = d;
      if (d > worst) worst = d;
    }
    if (worst > %d) far++;
  }
  const pixels = rgb.length / 3;
  return {max, mean: sum.map(s => s / pixels), farShare: far / pixels};
};
window.lumivaaraFramePng = async (ms) => {
  const frame = window.lumivaara.show(ms), n = frame.width * frame.height;
  const rgba = new Uint8ClampedArray(n * 4);
  for (let p = 0; p < n; p++) {
    rgba.set(frame.rgb.subarray(p * 3, p * 3 + 3), p * 4);
    rgba[p * 4 + 3] = 255;
  }
  const canvas = new OffscreenCanvas(frame.width, frame.height);
  canvas.getContext('2d').putImageData(new ImageData(rgba, frame.width, frame.height), 0, 0);
  const url = await new Promise(async (resolve) => {
    const reader = new FileReader();
    reader.onload = () => resolve(reader.result);
    reader.readAsDataURL(await canvas.convertToBlob({type: 'image/png'}));
  });
  return url.slice(url.indexOf(',') + 1);
};
"""


def capture_reference(capture, render, moment, scratch, references):
    """The desktop ES frame at `moment` as references/NAME.png; returns NAME."""
    frames = os.path.join(scratch, "capture-%d" % moment)
    os.makedirs(frames, exist_ok=True)
    command = [capture, "--quiet", "--gl", "es", "--render", render, "--fps", "60",
               "--from", str(moment), "--to", str(moment + 1), "--frames", frames]
    result = subprocess.run(command, capture_output=True, text=True, timeout=300)
    pngs = sorted(glob.glob(os.path.join(frames, "*.png")))
    if result.returncode != 0 or not pngs:
        raise pagecheck.Failure("%s failed (status %d):\n%s"
                                % (" ".join(command), result.returncode, result.stderr))
    name = "%06d" % moment
    shutil.move(pngs[0], os.path.join(references, name + ".png"))
    shutil.rmtree(frames)
    return name


def capture_references(native_build, render, scratch):
    capture = os.path.join(native_build, "lumivaara-capture")
    if not os.access(capture, os.X_OK):
        raise pagecheck.Failure("no %s (build the desktop demo first)" % capture)
    references = os.path.join(scratch, "references")
    os.makedirs(references, exist_ok=True)
    with concurrent.futures.ThreadPoolExecutor(CAPTURE_JOBS) as pool:
        names = list(pool.map(
            lambda m: capture_reference(capture, render, m, scratch, references), MOMENTS_MS))
    return references, dict(zip(MOMENTS_MS, names))


def open_frames_page(browser, url, render):
    browser.navigate(url + "?frames&render=" + render)
    browser.wait_until("!!(window.lumivaara && window.lumivaara.ready)", timeout=60)
    try:
        browser.evaluate("window.lumivaara.ready.then(() => true)", timeout=300)
    except devtools.DevToolsError as error:
        raise pagecheck.Failure("the page did not get ready: %s" % error)
    browser.evaluate(COMPARE_JS.replace("%d", str(NEAR_LEVELS)))


def compare_moments(browser, names, save_dir):
    rows = []
    for moment in MOMENTS_MS:
        started = time.monotonic()
        result = browser.evaluate("window.lumivaaraCompare(%d, '%s')" % (moment, names[moment]),
                                  timeout=300)
        rows.append((moment, result["max"], result["mean"], result["farShare"],
                     time.monotonic() - started))
        if save_dir:
            png = browser.evaluate("window.lumivaaraFramePng(%d)" % moment, timeout=300)
            with open(os.path.join(save_dir, "web-%s.png" % names[moment]), "wb") as file:
                file.write(base64.b64decode(png))
    return rows


def report(rows):
    print("%9s  %-15s  %-20s  %-8s  %s" % ("moment", "max r g b", "mean r g b",
                                             "> %d" % NEAR_LEVELS, "seconds"))
    failures = []
    for moment, max_levels, mean_levels, far_share, seconds in rows:
        print("%9d  %-15s  %-20s  %6.3f%%  %.2f" % (
            moment, " ".join("%3d" % v for v in max_levels),
            " ".join("%6.3f" % v for v in mean_levels), far_share * 100, seconds))
        if far_share >= MAX_FAR_SHARE or max(mean_levels) >= MEAN_LEVEL_DIFFERENCE:
            failures.append(moment)
    if failures:
        raise pagecheck.Failure(
            "frames differ from the desktop's at %s ms (allowed: under %.1f%% of the pixels "
            "more than %d levels off, mean under %.1f)" % (
                ", ".join(map(str, failures)), MAX_FAR_SHARE * 100, NEAR_LEVELS,
                MEAN_LEVEL_DIFFERENCE))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("site")
    parser.add_argument("native_build")
    parser.add_argument("--render", choices=("gl", "software"), default="gl")
    parser.add_argument("--scratch", help="where the references go (default: a temporary folder)")
    parser.add_argument("--save", help="also write the web frames as PNGs into this folder")
    args = parser.parse_args()
    scratch = args.scratch or tempfile.mkdtemp(prefix="lumivaara-webframes-")
    if args.save:
        os.makedirs(args.save, exist_ok=True)
    try:
        references, names = capture_references(args.native_build, args.render, scratch)
        url, stop = serve.start(args.site, mounts={"/ref/": references})
        try:
            with devtools.Browser() as browser:
                open_frames_page(browser, url, args.render)
                rows = compare_moments(browser, names, args.save)
                report(rows)
                pagecheck.expect_no_console_errors(browser)
        finally:
            stop()
    finally:
        if not args.scratch:
            shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    pagecheck.run(main)
