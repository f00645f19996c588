#include "app/wayland/output_layout.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "render/screen_scale.h"

OutputFit fitOutput(const OutputPlace& place) {
    OutputFit fit;
    fit.per120 = place.preferred120 > 0 ? place.preferred120 : kUnscaled * std::max(place.scale, 1);
    fit.deviceWidth = toDevice(place.width, fit.per120);
    fit.deviceHeight = toDevice(place.height, fit.per120);
    if (fit.per120 % kUnscaled == 0) {
        fit.bufferScale = fit.per120 / kUnscaled;
    } else {
        fit.viewportWidth = place.width;
        fit.viewportHeight = place.height;
    }
    return fit;
}

PixelRect grownBox(std::span<const OutputPlace> places, const PixelRect& previous) {
    PixelRect box = previous;
    for (const OutputPlace& place : places) {
        if (place.configured) {
            box = unionOf(box, PixelRect{place.x, place.y, place.x + place.width, place.y + place.height});
        }
    }
    return box;
}

OutputLayout layOutOutputs(std::span<const OutputPlace> places, const PixelRect& box, const PixelRect& previous) {
    OutputLayout layout;
    layout.box = box;
    if (!previous.empty()) {
        layout.shiftX = previous.left - box.left;
        layout.shiftY = previous.top - box.top;
    }
    // The primary sorts first: at the corner before elsewhere, then by announcement.
    const auto rank = [&](const OutputPlace& place) {
        return std::pair{place.x != box.left || place.y != box.top, place.announced};
    };
    for (std::size_t i = 0; i < places.size(); ++i) {
        const OutputPlace& place = places[i];
        if (!place.configured) {
            continue;
        }
        const int32_t left = place.x - box.left;
        const int32_t top = place.y - box.top;
        layout.parts[i] = PixelRect{left, top, left + place.width, top + place.height};
        if (layout.primary < 0 || rank(place) < rank(places[layout.primary])) {
            layout.primary = static_cast<int32_t>(i);
        }
    }
    return layout;
}
