"""Shared pieces of the module's tests: the built envlights program, the repository's HDRIs."""

import os
import subprocess

import pytest

HDRI_NAMES = ["courtyard", "forest", "interior", "sunrise", "sunset"]


@pytest.fixture(scope="session")
def hdri_dir():
    folder = os.environ.get("MORVEK_HDRI_DIR")
    if not folder:
        pytest.fail("MORVEK_HDRI_DIR is not set (ctest sets it)")
    return folder


@pytest.fixture(scope="session")
def run_cli():
    """Runs the built envlights in `cwd`; returns (status, stdout, stderr) as text."""
    program = os.environ.get("ENVLIGHTS_EXECUTABLE")
    if not program:
        pytest.fail("ENVLIGHTS_EXECUTABLE is not set (ctest sets it)")

    def run(*args, cwd=None):
        done = subprocess.run([program, *args], cwd=cwd, capture_output=True, text=True,
                              check=False)
        return done.returncode, done.stdout, done.stderr

    return run


@pytest.fixture(scope="session")
def images(hdri_dir):
    """The repository's HDRIs as loaded by the module, by name."""
    import envlights

    return {name: envlights.load(os.path.join(hdri_dir, name + ".exr")) for name in HDRI_NAMES}
