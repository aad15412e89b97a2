"""Threads: extract() lets go of the GIL while it works, and calls from several threads at
once, of both methods, give what the same calls give one after another."""

import concurrent.futures
import os

import envlights
from conftest import HDRI_NAMES


def test_calls_from_threads_give_the_sequential_results(images, hdri_dir):
    calls = [(name, n, method) for name in HDRI_NAMES for n in (4, 16)
             for method in ("physical", "node")] * 2
    expected = {c: envlights.extract(images[c[0]], n=c[1], method=c[2]).to_json() for c in calls}

    def run(call):
        image = envlights.load(os.path.join(hdri_dir, call[0] + ".exr"))
        return envlights.extract(image, n=call[1], method=call[2]).to_json()

    with concurrent.futures.ThreadPoolExecutor(max_workers=6) as pool:
        results = list(pool.map(run, calls))
    assert results == [expected[c] for c in calls]


def test_the_extraction_runs_without_the_gil(images):
    envlights.extract(images["sunset"], n=4)
    address, held_gil = envlights._last_extraction()
    assert address == images["sunset"].__array_interface__["data"][0]
    assert not held_gil
