"""The module's lights are the envlights program's, to the last bit, on the repository's HDRIs."""

import json
import os

import numpy as np
import pytest

import envlights
from conftest import HDRI_NAMES

# (image, n, method, rotate in degrees)
CASES = [(name, 16, method, 0.0) for name in HDRI_NAMES for method in ("physical", "node")] + [
    ("sunset", 1, "physical", 0.0),
    ("sunset", 64, "physical", 45.0),
    ("forest", 64, "node", -30.0),
    ("courtyard", 0, "physical", 0.0),
]


@pytest.mark.parametrize("name,n,method,rotate", CASES)
def test_json_equals_the_programs(images, hdri_dir, run_cli, name, n, method, rotate):
    file = name + ".exr"
    args = [file, "-n", str(n), "--method", method, "--format", "json"]
    if rotate:
        args += ["--rotate", str(rotate)]
    status, out, err = run_cli(*args, cwd=hdri_dir)
    assert status == 0, err
    lights = envlights.extract(images[name], n=n, method=method, rotate=rotate, name=file)
    assert lights.to_json() == out

    # The arrays carry the same numbers as the text.
    expected = json.loads(out)["images"][0]["lights"]
    assert len(lights) == len(expected)
    # The node's numbers are 32-bit floats, written with the fewest digits that read back.
    written = np.float64 if method == "physical" else np.float32
    if expected:
        np.testing.assert_array_equal(
            lights.direction, np.array([e["direction"] for e in expected], written))
        np.testing.assert_array_equal(
            lights.color, np.array([e["color"] for e in expected], written))
        np.testing.assert_array_equal(
            lights.region, [[e["region"][k] for k in ("x", "y", "width", "height")]
                            for e in expected])
    if method == "physical" and expected:
        np.testing.assert_array_equal(lights.irradiance, [e["irradiance"] for e in expected])
        np.testing.assert_array_equal(lights.solid_angle, [e["solidAngle"] for e in expected])


# (method, format, envlights' options, to_format's keywords)
FORMAT_CASES = [
    ("physical", "table", [], {}),
    ("physical", "x3d", [], {}),
    ("node", "table", [], {}),
    ("node", "x3d", [], {}),
    ("physical", "gltf", ["--irradiance-scale", "0.5"], {"irradiance_scale": 0.5}),
    ("physical", "usda", ["--up", "z"], {"up": "z"}),
    ("physical", "pbrt", ["--up", "y"], {"up": "y"}),
    ("physical", "mitsuba", [], {}),
    ("physical", "blender", ["--irradiance-scale", "3"], {"irradiance_scale": 3.0}),
]


@pytest.mark.parametrize("method,fmt,args,keywords", FORMAT_CASES)
def test_every_format_equals_the_programs(images, hdri_dir, run_cli, method, fmt, args, keywords):
    status, out, err = run_cli("sunrise.exr", "-n", "6", "--rotate", "30", "--method", method,
                               "--format", fmt, *args, cwd=hdri_dir)
    assert status == 0, err
    lights = envlights.extract(images["sunrise"], n=6, method=method, rotate=30,
                               name="sunrise.exr")
    assert lights.to_format(fmt, **keywords) == out
    assert getattr(lights, "to_" + fmt)(**keywords) == out


def test_irradiance_error_and_preview_are_the_programs(images, hdri_dir, run_cli, tmp_path):
    preview_file = tmp_path / "preview.png"
    status, out, err = run_cli("interior.exr", "-n", "8", "--rotate", "100", "--report",
                               "--format", "json", "--preview", str(preview_file), cwd=hdri_dir)
    assert status == 0, err
    lights = envlights.extract(images["interior"], n=8, rotate=100, name="interior.exr")
    measured = envlights.irradiance_error(images["interior"], lights)
    assert measured == json.loads(out)["images"][0]["quality"]["irradianceError"]

    picture = envlights.preview(images["interior"], lights)
    assert picture.shape == (240, 960, 3) and picture.dtype == np.uint8
    # The program's PNG read back through the loader: each byte b becomes b / 255.
    written = envlights.load(str(preview_file))
    np.testing.assert_array_equal(np.rint(written * 255).astype(np.uint8), picture)


def test_the_light_invariants_hold(images):
    lights = envlights.extract(images["courtyard"], n=32)
    np.testing.assert_allclose(lights.solid_angle.sum(), 4 * np.pi, rtol=1e-9)
    np.testing.assert_allclose(lights.irradiance.sum(axis=0), lights.total_irradiance, rtol=1e-9)
    np.testing.assert_allclose(np.linalg.norm(lights.direction, axis=1), 1.0, rtol=1e-12)
    assert (lights.region[:, 2] * lights.region[:, 3]).sum() == lights.width * lights.height
    np.testing.assert_allclose(lights.color.max(axis=1), 1.0)
    assert lights.method == "physical" and (lights.width, lights.height) == (1024, 512)


@pytest.mark.parametrize("method", ["physical", "node"])
def test_an_8_bit_picture_gives_the_programs_lights(hdri_dir, run_cli, tmp_path, method):
    # The program's preview of an HDRI is an 8-bit PNG to take as an environment in turn.
    status, _, err = run_cli(os.path.join(hdri_dir, "forest.exr"), "--preview",
                             str(tmp_path / "forest.png"))
    assert status == 0, err
    status, out, err = run_cli("forest.png", "-n", "8", "--method", method, "--format", "json",
                               cwd=str(tmp_path))
    assert status == 0, err
    loaded = envlights.load(str(tmp_path / "forest.png"))
    as_bytes = np.rint(loaded * 255).astype(np.uint8)
    for image in (loaded, as_bytes):
        lights = envlights.extract(image, n=8, method=method, name="forest.png")
        assert lights.to_json() == out, image.dtype
