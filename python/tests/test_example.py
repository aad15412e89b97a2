"""The folder example writes one glTF file per image, each the lights of that image."""

import os
import shutil
import subprocess
import sys

import envlights

EXAMPLE = os.path.join(os.path.dirname(__file__), "..", "examples", "lights_for_folder.py")


def test_one_output_per_image_with_that_images_lights(tmp_path, hdri_dir, images):
    folder = tmp_path / "hdris"
    folder.mkdir()
    names = ["forest", "sunrise", "sunset"]
    for name in names:
        shutil.copy(os.path.join(hdri_dir, name + ".exr"), folder)
    (folder / "readme.txt").write_text("not a picture, not taken\n")
    fmt = "gltf"  # the example's default
    done = subprocess.run([sys.executable, EXAMPLE, str(folder), str(tmp_path / "out"), "-n", "4",
                           "--jobs", "3"], capture_output=True, text=True, check=False)
    assert done.returncode == 0, done.stderr
    assert sorted(os.listdir(tmp_path / "out")) == [n + ".gltf" for n in names]
    for name in names:
        expected = envlights.extract(images[name], n=4, name=name + ".exr").to_format(fmt)
        assert (tmp_path / "out" / (name + ".gltf")).read_text() == expected

