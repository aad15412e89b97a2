"""extract() takes what the documentation says, converts it as documented, refuses the rest,
and reads a C-contiguous float32 picture where it lies."""

import numpy as np
import pytest

import envlights

H, W = 16, 32


def sky():
    """A small lit picture: a bright patch in a dim gradient, float32 H x W x 3."""
    v = np.linspace(0.1, 1.0, H, dtype=np.float32)[:, None, None]
    image = np.broadcast_to(v * np.array([0.5, 0.7, 1.0], np.float32), (H, W, 3)).copy()
    image[3:5, 20:23] = [40.0, 30.0, 20.0]
    return image


def same_lights(a, b):
    return a.to_json() == b.to_json()


@pytest.mark.parametrize("name,image,exception,message", [
    ("one axis", np.ones(12, np.float32), ValueError,
     "image: an array of shape (12,) is not a picture; give H x W x 3 (RGB) or H x W (grey)"),
    ("four channels", np.ones((4, 4, 4), np.float32), ValueError,
     "image: an array of shape (4, 4, 4) is not a picture; give H x W x 3 (RGB) or H x W (grey)"),
    ("four axes", np.ones((2, 2, 2, 3), np.float32), ValueError,
     "image: an array of shape (2, 2, 2, 3) is not a picture; give H x W x 3 (RGB) or H x W "
     "(grey)"),
    ("one pixel", np.ones((1, 1, 3), np.float32), ValueError,
     "image: the image is smaller than 2 x 2 pixels (1 x 1)"),
    ("one row", np.ones((1, 9), np.float32), ValueError,
     "image: the image is smaller than 2 x 2 pixels (9 x 1)"),
    ("empty", np.ones((0, 0, 3), np.float32), ValueError,
     "image: the image is smaller than 2 x 2 pixels (0 x 0)"),
    ("too wide", np.ones((2, 65536), np.uint8), ValueError,
     "image: the image is larger than 65535 pixels on a side (65536 x 2)"),
    ("fewer pixels than lights", np.ones((2, 3, 3), np.float32), ValueError, None),
    ("integers", np.ones((4, 4, 3), np.int32), TypeError,
     "image: elements of type int32 are not taken; give float32, float16, float64 or uint8"),
    ("complex", np.ones((4, 4, 3), np.complex64), TypeError, None),
    ("strings", "sky", TypeError, None),
    ("nothing", None, TypeError, None),
])
def test_bad_arrays_raise_the_documented_error(name, image, exception, message):
    with pytest.raises(exception) as raised:
        envlights.extract(image, n=8)
    if message:
        assert str(raised.value) == message, name


@pytest.mark.parametrize("name,argument,error", [
    ("negative n", {"n": -1}, "n: -1 is outside 0 to 4096"),
    ("too many", {"n": 4097}, "n: 4097 is outside 0 to 4096"),
    ("unknown method", {"method": "best"}, "method: 'best' is not one of physical, node"),
    ("no angle", {"rotate": float("nan")}, "rotate: not a finite number of degrees"),
])
def test_bad_arguments_raise_value_errors(name, argument, error):
    with pytest.raises(ValueError, match="^" + error.replace("(", r"\(") + "$"):
        envlights.extract(sky(), **argument)


def test_other_element_types_and_layouts_are_converted_as_documented():
    base = sky()
    reference = envlights.extract(base, n=8)
    bytes_ = (np.arange(H * W * 3) % 256).astype(np.uint8).reshape(H, W, 3)
    grey = base[:, :, 1].copy()
    rows = [
        ("float64 rounds to float32", base.astype(np.float64), base),
        ("float16 widens exactly", base.astype(np.float16), base.astype(np.float16)
         .astype(np.float32)),
        ("uint8 is byte / 255", bytes_, bytes_.astype(np.float32) / np.float32(255)),
        ("grey goes to every channel", grey, np.repeat(grey[:, :, None], 3, axis=2)),
        ("a nested list", base.tolist(), base),
        ("a Fortran-order copy", np.asfortranarray(base), base),
        ("every other column", np.repeat(base, 2, axis=1)[:, ::2], base),
    ]
    for name, given, meant in rows:
        assert same_lights(envlights.extract(given, n=8), envlights.extract(meant, n=8)), name
    assert same_lights(envlights.extract(base.astype(np.float64), n=8), reference)


def test_non_finite_pixels_count_as_black_with_a_warning_and_the_array_is_left_alone():
    image = sky()
    image[0, 0, 1] = np.nan
    image[5, 7] = [np.inf, 1, 1]
    image[9, 9, 2] = -np.inf
    kept = image.copy()
    with pytest.warns(RuntimeWarning) as warned:
        lights = envlights.extract(image, n=8)
    assert [str(w.message) for w in warned] == [
        "image: 3 pixels were not finite (NaN or infinity) and were set to 0"]
    np.testing.assert_array_equal(image, kept)
    cleaned = np.where(np.isfinite(image).all(axis=2, keepdims=True), image, 0).astype(np.float32)
    assert same_lights(lights, envlights.extract(cleaned, n=8))


def test_a_c_contiguous_float32_picture_is_read_where_it_lies():
    image = sky()
    address = image.__array_interface__["data"][0]
    envlights.extract(image, n=4)
    assert envlights._last_extraction()[0] == address
    frozen = sky()
    frozen.flags.writeable = False
    envlights.extract(frozen, n=4)
    assert envlights._last_extraction()[0] == frozen.__array_interface__["data"][0]

    # The check sees copies where they must happen.
    copied = [
        ("turned", image, {"rotate": 90}),
        ("float64", image.astype(np.float64), {}),
        ("strided", np.repeat(image, 2, axis=1)[:, ::2], {}),
    ]
    for name, given, extra in copied:
        envlights.extract(given, n=4, **extra)
        assert envlights._last_extraction()[0] != given.__array_interface__["data"][0], name
