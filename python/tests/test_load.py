"""load(): pictures top row first, and the program's error lines as OSError or ValueError."""

import os

import numpy as np
import pytest

import envlights


def rgbe_file(path, rows):
    """A Radiance file of flat RGBE pixels (no run-length coding below 8 columns), top row
    first."""
    header = b"#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y %d +X %d\n" % (len(rows), len(rows[0]))
    path.write_bytes(header + b"".join(bytes(p) for row in rows for p in row))
    return str(path)


def test_rows_come_top_first_as_floats(tmp_path):
    # Top row red then green, bottom row blue then white; exponent 129 is a factor of 2 / 256.
    path = rgbe_file(tmp_path / "tiny.hdr", [[(128, 0, 0, 129), (0, 128, 0, 129)],
                                             [(0, 0, 128, 129), (128, 128, 128, 129)]])
    image = envlights.load(path)
    assert image.shape == (2, 2, 3) and image.dtype == np.float32
    assert image.flags["C_CONTIGUOUS"]
    lit = image > 0.5
    np.testing.assert_array_equal(lit, [[[1, 0, 0], [0, 1, 0]], [[0, 0, 1], [1, 1, 1]]])
    assert envlights.load(tmp_path / "tiny.hdr").tobytes() == image.tobytes()  # a PathLike


def error_cases(tmp_path, hdri_dir):
    """(name, path, exception) for files the loader refuses."""
    empty = tmp_path / "empty.exr"
    empty.write_bytes(b"")
    truncated = tmp_path / "truncated.exr"
    truncated.write_bytes(open(os.path.join(hdri_dir, "sunset.exr"), "rb").read()[:2000])
    unknown = tmp_path / "notes.txt"
    unknown.write_text("not a picture\n")
    locked = tmp_path / "locked.hdr"
    locked.write_bytes(b"#?RADIANCE\n")
    locked.chmod(0)
    cases = [
        ("missing", str(tmp_path / "missing.exr"), FileNotFoundError),
        ("empty", str(empty), ValueError),
        ("truncated", str(truncated), ValueError),
        ("unknown format", str(unknown), ValueError),
    ]
    if not os.access(locked, os.R_OK):  # root reads everything
        cases.append(("no permission", str(locked), PermissionError))
    return cases


def test_errors_are_the_programs_lines(tmp_path, hdri_dir, run_cli):
    for name, path, exception in error_cases(tmp_path, hdri_dir):
        status, _, err = run_cli(path)
        assert status == 1, name
        with pytest.raises(exception) as raised:
            envlights.load(path)
        assert "envlights: " + str(raised.value) + "\n" == err, name
    # envlights takes a folder as the images in it; the loader refuses it.
    with pytest.raises(IsADirectoryError, match="^" + str(tmp_path) + ": "):
        envlights.load(str(tmp_path))


def test_a_name_that_disagrees_with_the_content_is_a_warning(tmp_path, hdri_dir):
    renamed = tmp_path / "sunset.png"
    renamed.write_bytes(open(os.path.join(hdri_dir, "sunset.exr"), "rb").read())
    with pytest.warns(UserWarning, match="sunset.png"):
        image = envlights.load(str(renamed))
    assert image.shape == (512, 1024, 3)
