"""The Python call envlights.extract() against the C++ call it makes (extractCallBench), on the
same 1024 x 512 environment with 16 lights. Rounds of each alternate, so that a busy spell of
the machine does not fall on one side alone; each round gives a mean time per call, and the
ratio is the fastest Python round over the fastest C++ round. Prints the rounds and then

    python extract 1024x512 ratio=R

    python3 bench/pythonExtract.py BUILD_FOLDER  (with PYTHONPATH=BUILD_FOLDER/python)
"""

import json
import os
import subprocess
import sys
import time

ROUNDS = 10
ROUND_SECONDS = 0.2


def cache_value(build, name):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as cache:
        for line in cache:
            if line.startswith(name + ":"):
                return line.split("=", 1)[1].strip()
    sys.exit(f"pythonExtract: {name} is not in {build}/CMakeCache.txt")


def cpp_round(program):
    """Mean seconds per call of one run of the C++ benchmark."""
    out = subprocess.run([program, "--benchmark_format=json",
                          f"--benchmark_min_time={ROUND_SECONDS}"],
                         capture_output=True, text=True, check=True).stdout
    run = json.loads(out)["benchmarks"][0]
    if run.get("error_occurred"):
        sys.exit("pythonExtract: " + run.get("error_message", "the C++ benchmark failed"))
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[run["time_unit"]]
    return run["real_time"] * scale


def python_round(extract, image):
    """Mean seconds per call of envlights.extract over about ROUND_SECONDS."""
    calls = 0
    start = time.perf_counter()
    while True:
        extract(image, n=16, name="sunset")
        calls += 1
        elapsed = time.perf_counter() - start
        if elapsed >= ROUND_SECONDS:
            return elapsed / calls


def main(build):
    import envlights

    image = envlights.load(os.path.join(cache_value(build, "MORVEK_HDRI_DIR"), "sunset.exr"))
    program = os.path.join(build, "bin", "extractCallBench")
    extract = envlights.extract
    python_round(extract, image)  # warm caches and the allocator
    cpp, py = [], []
    for _ in range(ROUNDS):
        cpp.append(cpp_round(program))
        py.append(python_round(extract, image))
    height, width = image.shape[:2]
    print(f"extract {width}x{height}, ms per call, C++: "
          + " ".join(f"{t * 1e3:.3f}" for t in cpp) + "; Python: "
          + " ".join(f"{t * 1e3:.3f}" for t in py))
    print(f"python extract {width}x{height} ratio={min(py) / min(cpp):.3f}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build/bench")
