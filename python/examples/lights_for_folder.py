#!/usr/bin/env python3
"""Writes the lights of every HDRI in a folder, one file per image, several images at once.

    python3 lights_for_folder.py HDRI_FOLDER OUTPUT_FOLDER [-n 16] [--format gltf] [--jobs 4]

Each IMAGE.exr / .hdr / .png / .jpg gives OUTPUT_FOLDER/IMAGE.gltf (or the extension of the
format asked for). The physical method
releases the GIL, so threads extract in parallel. Prints one line per image and exits with 1
when any image failed.
"""

import argparse
import concurrent.futures
import os
import sys

import envlights

PICTURES = (".exr", ".hdr", ".png", ".jpg", ".jpeg")


def process(source, output_folder, n, fmt):
    """Extracts the lights of one file and writes them; returns the file written."""
    lights = envlights.extract(envlights.load(source), n=n, name=os.path.basename(source))
    text = lights.to_format(fmt)  # first: an unknown format raises ValueError, writes nothing
    stem = os.path.splitext(os.path.basename(source))[0]
    target = os.path.join(output_folder, stem + envlights.extensions[fmt])
    with open(target, "w", encoding="utf-8") as out:
        out.write(text)
    return target


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("output")
    parser.add_argument("-n", type=int, default=16, help="lights per image (default 16)")
    parser.add_argument("--format", default="gltf",
                        help="one of envlights.formats (default gltf)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1,
                        help="images at once (default: the number of processors)")
    args = parser.parse_args(argv)

    sources = sorted(os.path.join(args.folder, f) for f in os.listdir(args.folder)
                     if f.lower().endswith(PICTURES))
    os.makedirs(args.output, exist_ok=True)
    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        futures = {pool.submit(process, s, args.output, args.n, args.format): s for s in sources}
        for future in concurrent.futures.as_completed(futures):
            try:
                print(f"{futures[future]} -> {future.result()}")
            except (OSError, ValueError) as error:
                print(f"{futures[future]}: {error}", file=sys.stderr)
                failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
