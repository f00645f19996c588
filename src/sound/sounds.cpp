#include "sound/sounds.h"

#include <cstdio>
#include <cstdlib>

#include "host/host.h"

static constexpr int soundVariantCount = 4;

// rand() is shared with world creation, so the variants follow on from its draws.
static void playSoundVariant(const char* kind) {
    const int variant = std::rand() % soundVariantCount;
    char path[sizeof "Sounds\\detach0.wav"];
    std::snprintf(path, sizeof path, "Sounds\\%s%c.wav", kind, static_cast<char>('0' + variant));
    hostPlaySound(path);
}

void playAttachSound() {
    playSoundVariant("attach");
}

void playDetachSound() {
    playSoundVariant("detach");
}
