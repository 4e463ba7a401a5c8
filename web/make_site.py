#!/usr/bin/env python3
"""Puts the browser build's site together: the page, the module and the
assets the native tools generated, with assets.json listing what the page
fetches (and how many bytes, for its progress bar)."""
import argparse
import json
import os
import shutil
import sys

PAGE = ("index.html", "page.css", "page.js")
MODULE = ("lumivaara.js", "lumivaara.wasm")
ASSET_DIRS = ("Images", "Models", "Music")
MUSIC = "Music/virtaus.ogg"


def copy(src, dst):
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    shutil.copyfile(src, dst)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--module", required=True, help="folder holding lumivaara.js and .wasm")
    parser.add_argument("--assets", required=True, help="native build folder with the assets")
    parser.add_argument("--out", required=True, help="the site folder to write")
    args = parser.parse_args()
    here = os.path.dirname(os.path.abspath(__file__))

    # Start clean, so a site never carries files of an older build.
    if os.path.isdir(args.out):
        shutil.rmtree(args.out)
    for name in PAGE:
        copy(os.path.join(here, name), os.path.join(args.out, name))
    for name in MODULE:
        copy(os.path.join(args.module, name), os.path.join(args.out, name))

    files = []
    for folder in ASSET_DIRS:
        root = os.path.join(args.assets, folder)
        if not os.path.isdir(root):
            sys.exit(f"make_site: no {root}: build the native tree first (make build)")
        for name in sorted(os.listdir(root)):
            path = f"{folder}/{name}"
            copy(os.path.join(root, name), os.path.join(args.out, path))
            files.append({"path": path, "bytes": os.path.getsize(os.path.join(root, name))})
    if not any(f["path"] == MUSIC for f in files):
        sys.exit(f"make_site: no {MUSIC} among the assets")

    wasm = os.path.join(args.out, "lumivaara.wasm")
    manifest = {"module": {"path": "lumivaara.wasm", "bytes": os.path.getsize(wasm)},
                "music": MUSIC, "files": files}
    with open(os.path.join(args.out, "assets.json"), "w") as out:
        json.dump(manifest, out, indent=1)
        out.write("\n")
    total = sum(os.path.getsize(os.path.join(d, f))
                for d, _, names in os.walk(args.out) for f in names)
    print(f"site: {args.out} ({total / 1e6:.1f} MB)")


if __name__ == "__main__":
    main()
