"""What a user reads: the help texts, the format list, printing, and methods that do not fit."""

import pytest

import envlights


def test_help_shows_the_documentation():
    for function, words in [(envlights.extract, ["n: int = 16", "RuntimeWarning", "GIL"]),
                            (envlights.load, ["OSError", "ValueError", "top row first"])]:
        assert all(word in function.__doc__ for word in words), function.__name__


def test_every_format_has_its_method_and_what_envlights_refuses_is_refused(images):
    lights = envlights.extract(images["forest"], n=2)
    node = envlights.extract(images["forest"], n=2, method="node")
    assert envlights.formats == ("table", "json", "x3d", "gltf", "usda", "pbrt", "mitsuba",
                                 "blender")
    for name in envlights.formats:
        assert getattr(lights, "to_" + name)() == lights.to_format(name)
    refused = [
        (lights, "obj", {}, "format: 'obj' is not one of table json x3d gltf usda pbrt mitsuba "
         "blender"),
        (lights, "usda", {"up": "x"}, "up: 'x' is not one of y, z"),
        (lights, "gltf", {"up": "z"}, "up z: the gltf format is always Y-up"),
        (lights, "json", {"irradiance_scale": 2.0},
         "irradiance_scale: the json format gives irradiances unscaled"),
        (lights, "pbrt", {"irradiance_scale": 0.0}, "irradiance_scale: not a positive number"),
        (node, "gltf", {}, "format gltf: the node method's colours are not irradiances"),
    ]
    for given, name, keywords, message in refused:
        with pytest.raises(ValueError) as raised:
            given.to_format(name, **keywords)
        assert str(raised.value) == message
    assert repr(lights) + "\n" == lights.to_table()
    assert repr(lights).startswith("image: 1024 x 512, 2 lights (physical method)")


def test_node_lights_have_no_irradiance_to_measure_or_preview(images):
    lights = envlights.extract(images["forest"], n=4, method="node")
    assert lights.irradiance is None and lights.solid_angle is None
    assert lights.total_irradiance is None
    assert lights.color.shape == (4, 3) and lights.region.shape == (4, 4)
    for function in (envlights.irradiance_error, envlights.preview):
        with pytest.raises(ValueError, match="needs physical lights"):
            function(images["forest"], lights)
