#!/usr/bin/env python3
"""Seed corpora for the fuzz harnesses: the generated assets of a build
directory (files up to a size cap, so runs stay fast) plus small hand-made
files that sit on the decoders' edges.

usage: make_seeds.py <build dir with Images/ Models/ Music/> <output dir>
"""
import os
import shutil
import struct
import subprocess
import sys

MAX_ASSET = 100 * 1024


def put(out, harness, name, data):
    d = os.path.join(out, harness)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def copy_assets(assets, out, harness, sub, ext):
    src = os.path.join(assets, sub)
    if not os.path.isdir(src):
        print(f"make_seeds: no {src}; {harness} seeds are hand-made only")
        return
    for name in sorted(os.listdir(src)):
        path = os.path.join(src, name)
        if name.endswith(ext) and os.path.getsize(path) <= MAX_ASSET:
            os.makedirs(os.path.join(out, harness), exist_ok=True)
            shutil.copy(path, os.path.join(out, harness, name))


# PCX ------------------------------------------------------------------------

def pcx_header(width, height, planes, bits=8):
    h = bytearray(128)
    h[0], h[1], h[2], h[3] = 10, 5, 1, bits
    struct.pack_into("<HHHH", h, 4, 0, 0, width - 1, height - 1)
    h[65] = planes
    struct.pack_into("<H", h, 66, width)
    return bytes(h)


def pcx_seeds(out):
    palette = bytes(i % 256 for i in range(768))
    # 2 x 2 paletted, a literal, an escaped literal and a run across rows.
    put(out, "pcx", "edge_paletted_2x2.pcx",
        pcx_header(2, 2, 1) + bytes([0x01, 0xC1, 0xC5, 0xC2, 0x07]) + palette)
    # 2 x 2 three-plane: rows of red, green and blue lines.
    put(out, "pcx", "edge_rgb_2x2.pcx",
        pcx_header(2, 2, 3) + bytes([0xCC, 0x80]))
    # Empty run (0xC0), then a run marker with its value cut off.
    put(out, "pcx", "edge_empty_run.pcx",
        pcx_header(3, 1, 3) + bytes([0xC0, 0x11, 0x05, 0xC3]))
    # Stream ends right after the header; the picture stays zero.
    put(out, "pcx", "edge_no_stream.pcx", pcx_header(4, 4, 3))
    # Palette demanded but the file is too short to hold one.
    put(out, "pcx", "edge_short_palette.pcx", pcx_header(2, 2, 1) + b"\x00" * 10)
    # Size at the decoder's limit and one past it.
    put(out, "pcx", "edge_big.pcx", pcx_header(4096, 4096, 1) + b"\xFF\x00" + palette)
    put(out, "pcx", "edge_header_only.pcx", pcx_header(1, 1, 1)[:127])


# 3DS ------------------------------------------------------------------------

def chunk(cid, payload=b"", children=()):
    body = payload + b"".join(children)
    return struct.pack("<HI", cid, 6 + len(body)) + body


def tri_mesh(name, verts, faces, uvs):
    vl = struct.pack("<H", len(verts)) + b"".join(struct.pack("<fff", *v) for v in verts)
    fl = struct.pack("<H", len(faces)) + b"".join(struct.pack("<HHHH", *f, 7) for f in faces)
    ml = struct.pack("<H", len(uvs)) + b"".join(struct.pack("<ff", *t) for t in uvs)
    material = chunk(0x4130, b"mat\0" + struct.pack("<HH", 1, 0))
    smoothing = chunk(0x4150, struct.pack("<I", 1) * len(faces))
    axes = chunk(0x4160, struct.pack("<12f", 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0))
    return chunk(0x4000, name + b"\0", [chunk(0x4100, b"", [
        chunk(0x4110, vl), chunk(0x4140, ml), axes,
        chunk(0x4120, fl, [material, smoothing])])])


def model_seeds(out):
    quad = tri_mesh(b"Quad", [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)],
                    [(0, 1, 2), (0, 2, 3)], [(0, 0), (1, 0), (1, 1), (0, 1)])
    degenerate = tri_mesh(b"Flat", [(0, 0, 0), (0, 0, 0), (0, 0, 0)],
                          [(0, 0, 0), (0, 1, 1), (2, 1, 0)], [(0, 0)])
    camera = chunk(0x4000, b"Camera01\0", [chunk(0x4700, struct.pack("<8f", *range(8)))])
    light = chunk(0x4000, b"Light01\0", [chunk(0x4600, struct.pack("<3f", 1, 2, 3), [
        chunk(0x4610, struct.pack("<5f", 0, 0, 0, 30, 45)), chunk(0x0010, struct.pack("<3f", 1, 1, 1))])])
    material = chunk(0xAFFF, b"", [chunk(0xA000, b"mat\0"),
                                   chunk(0xA020, b"", [chunk(0x0011, b"\x10\x20\x30")]),
                                   chunk(0xA200, b"", [chunk(0x0030, b"\x64\x00"), chunk(0xA300, b"t.jpg\0")])])
    editor = chunk(0x3D3D, b"", [chunk(0x3D3E, struct.pack("<I", 3)), chunk(0x0100, struct.pack("<f", 1)),
                                 material, quad, degenerate, camera, light])
    keyframer = chunk(0xB000, b"", [chunk(0xB00A, struct.pack("<H", 5) + b"x\0" + struct.pack("<I", 100))])
    main = chunk(0x4D4D, b"", [chunk(0x0002, struct.pack("<I", 3)), editor, keyframer])
    put(out, "model3ds", "edge_scene.3ds", main)
    put(out, "model3ds", "edge_truncated.3ds", main[:len(main) // 2])
    put(out, "model3ds", "edge_mesh_only.3ds", quad)
    # Many objects: more meshes than a small table holds.
    put(out, "model3ds", "edge_many.3ds",
        chunk(0x4D4D, b"", [chunk(0x3D3D, b"", [quad] * 24)]))


# JPEG and Ogg through ffmpeg, when it is there ---------------------------------

def ffmpeg(args, path):
    try:
        subprocess.run(["ffmpeg", "-v", "error", "-y"] + args + [path], check=True,
                       stdin=subprocess.DEVNULL)
        return True
    except (OSError, subprocess.CalledProcessError):
        return False


def encoded_seeds(out):
    tmp = os.path.join(out, "tmp")
    os.makedirs(tmp, exist_ok=True)
    jobs = [
        ("jpeg", "edge_rgb_8x8.jpg", ["-f", "lavfi", "-i", "testsrc=s=8x8", "-frames:v", "1"]),
        ("jpeg", "edge_odd_17x5.jpg", ["-f", "lavfi", "-i", "testsrc=s=17x5", "-frames:v", "1",
                                       "-pix_fmt", "yuvj444p"]),
        ("jpeg", "edge_grey_16x16.jpg", ["-f", "lavfi", "-i", "testsrc=s=16x16", "-frames:v", "1",
                                         "-pix_fmt", "gray"]),
        ("music", "edge_mono_8k.ogg", ["-f", "lavfi", "-i", "sine=f=440:r=8000:d=0.3",
                                       "-c:a", "libvorbis", "-ac", "1"]),
        ("music", "edge_stereo_44k.ogg", ["-f", "lavfi", "-i", "sine=f=220:r=44100:d=0.5",
                                          "-c:a", "libvorbis", "-ac", "2", "-q:a", "0"]),
        ("music", "edge_three_channels.ogg", ["-f", "lavfi", "-i", "sine=r=11025:d=0.2",
                                              "-c:a", "libvorbis", "-ac", "3"]),
    ]
    for harness, name, args in jobs:
        path = os.path.join(tmp, name)
        if ffmpeg(args, path):
            with open(path, "rb") as f:
                put(out, harness, name, f.read())
        else:
            print(f"make_seeds: ffmpeg could not make {name}")
    shutil.rmtree(tmp)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    assets, out = sys.argv[1], sys.argv[2]
    shutil.rmtree(out, ignore_errors=True)
    copy_assets(assets, out, "pcx", "Images", ".pcx")
    copy_assets(assets, out, "jpeg", "Images", ".jpg")
    copy_assets(assets, out, "model3ds", "Models", ".3ds")
    pcx_seeds(out)
    model_seeds(out)
    encoded_seeds(out)
    # The track is megabytes; its head holds the three header packets and
    # the first audio pages, which is what the opener and decoder walk.
    music = os.path.join(assets, "Music", "virtaus.ogg")
    if os.path.isfile(music):
        with open(music, "rb") as f:
            head = f.read(24 * 1024)
        # Cut at a page start: the opener refuses a file ending mid-page.
        head = head[:head.rfind(b"OggS")]
        put(out, "music", "virtaus_head.ogg", head)
    put(out, "music", "edge_empty.ogg", b"")
    put(out, "music", "edge_capture_only.ogg", b"OggS\0")
    put(out, "jpeg", "edge_soi_only.jpg", b"\xFF\xD8")
    for h in sorted(os.listdir(out)):
        print(f"seeds/{h}: {len(os.listdir(os.path.join(out, h)))} files")


if __name__ == "__main__":
    main()
