"""Pictures: reading screenshots and frames, building the expected screen, comparing."""

import shutil
import subprocess


class Image:
    """Raw 8-bit pixels, row after row, `channels` bytes per pixel (3 RGB, 4 RGBA)."""

    def __init__(self, width, height, channels, data):
        if len(data) != width * height * channels:
            raise ValueError(f"{width}x{height}x{channels} image needs {width * height * channels} bytes, got {len(data)}")
        self.width = width
        self.height = height
        self.channels = channels
        self.data = bytes(data)

    def pixel(self, x, y):
        at = (y * self.width + x) * self.channels
        return tuple(self.data[at:at + self.channels])


def _header_tokens(blob, count):
    """Splits the first `count` whitespace-separated header tokens of a PNM file (comments skipped)."""
    tokens, at = [], 0
    while len(tokens) < count:
        while blob[at:at + 1].isspace():
            at += 1
        if blob[at:at + 1] == b"#":
            at = blob.index(b"\n", at) + 1
            continue
        end = at
        while not blob[end:end + 1].isspace():
            end += 1
        tokens.append(blob[at:end])
        at = end
    return tokens, at + 1  # one whitespace byte ends the header


def parse_pnm(blob):
    """Reads a binary PPM (P6) or an RGB/RGBA PAM (P7) with 8-bit samples."""
    if blob.startswith(b"P6"):
        (_, width, height, maxval), at = _header_tokens(blob, 4)
        if int(maxval) != 255:
            raise ValueError("only 8-bit PPM is read")
        width, height = int(width), int(height)
        return Image(width, height, 3, blob[at:at + width * height * 3])
    if blob.startswith(b"P7"):
        end = blob.index(b"ENDHDR\n") + len(b"ENDHDR\n")
        fields = dict(line.split(None, 1) for line in blob[3:end].decode().splitlines() if " " in line)
        width, height, depth = int(fields["WIDTH"]), int(fields["HEIGHT"]), int(fields["DEPTH"])
        if int(fields["MAXVAL"]) != 255 or depth not in (3, 4):
            raise ValueError(f"unexpected PAM header {fields}")
        return Image(width, height, depth, blob[end:end + width * height * depth])
    raise ValueError("not a PPM or PAM picture")


def _convert_tool():
    # ImageMagick 6 installs its convert under this name too; prefer it so that
    # no wrapper earlier on PATH stands between us and the real program.
    return shutil.which("convert-im6.q16") or "convert"


def load_png_rgba(path):
    """Reads a PNG into an RGBA image (ImageMagick decodes it)."""
    blob = subprocess.run([_convert_tool(), str(path), "-depth", "8", "-define", "pam:format=RGB_ALPHA", "pam:-"],
                          check=True, capture_output=True).stdout
    image = parse_pnm(blob)
    if image.channels != 4:
        raise ValueError(f"{path}: expected an RGBA frame, got {image.channels} channels")
    return image


def save_pnm(image, path):
    """Writes an image as PPM (RGB) or PAM (RGBA), for failure reports."""
    with open(path, "wb") as out:
        if image.channels == 3:
            out.write(b"P6\n%d %d\n255\n" % (image.width, image.height))
        else:
            out.write(b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                      % (image.width, image.height))
        out.write(image.data)


def expected_screen(frame, desktop_rgb):
    """The screen that a frame of premultiplied pixels shows over a desktop of one colour.

    Opaque pixels show the frame's colour, transparent ones the desktop; a partly
    transparent pixel (the bricks have none) blends the two the way the window
    system does.
    """
    if frame.channels != 4:
        raise ValueError("a frame has four channels")
    desktop = bytes(desktop_rgb)
    src = frame.data
    out = bytearray(desktop * (frame.width * frame.height))
    # Whole rows of transparency are the common case: skip them quickly.
    row_bytes = frame.width * 4
    empty_row = bytes(row_bytes)
    for y in range(frame.height):
        row = src[y * row_bytes:(y + 1) * row_bytes]
        if row == empty_row:
            continue
        for x in range(frame.width):
            r, g, b, a = row[4 * x:4 * x + 4]
            if a == 0:
                continue
            at = 3 * (y * frame.width + x)
            if a == 255:
                out[at:at + 3] = bytes((r, g, b))
            else:
                out[at:at + 3] = bytes(min(255, c + (d * (255 - a) + 127) // 255)
                                       for c, d in zip((r, g, b), desktop_rgb))
    return Image(frame.width, frame.height, 3, out)


class Difference:
    """Where two RGB pictures of one size differ."""

    def __init__(self, count, examples, box):
        self.count = count
        self.examples = examples  # up to a few (x, y, actual, expected)
        self.box = box            # (left, top, right, bottom) of all differing pixels, or None

    def __bool__(self):
        return self.count > 0

    def describe(self):
        if not self.count:
            return "pictures are equal"
        shown = ", ".join(f"({x},{y}) is {a} not {e}" for x, y, a, e in self.examples)
        return f"{self.count} pixels differ within {self.box}: {shown}"


def compare(actual, expected, max_examples=4):
    """Counts the pixels where two RGB pictures differ."""
    if (actual.width, actual.height, actual.channels) != (expected.width, expected.height, expected.channels):
        return Difference(actual.width * actual.height, [],
                          f"sizes differ: {actual.width}x{actual.height}x{actual.channels} "
                          f"against {expected.width}x{expected.height}x{expected.channels}")
    if actual.data == expected.data:
        return Difference(0, [], None)
    n, width = actual.channels, actual.width
    row_bytes = width * n
    count, examples = 0, []
    left, top, right, bottom = width, actual.height, -1, -1
    for y in range(actual.height):
        a_row = actual.data[y * row_bytes:(y + 1) * row_bytes]
        e_row = expected.data[y * row_bytes:(y + 1) * row_bytes]
        if a_row == e_row:
            continue
        for x in range(width):
            a_px, e_px = a_row[n * x:n * x + n], e_row[n * x:n * x + n]
            if a_px != e_px:
                count += 1
                left, top, right, bottom = min(left, x), min(top, y), max(right, x), max(bottom, y)
                if len(examples) < max_examples:
                    examples.append((x, y, tuple(a_px), tuple(e_px)))
    return Difference(count, examples, (left, top, right, bottom))
