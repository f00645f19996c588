#include "sound/sounds.h"

#include <cstdio>
#include <cstdlib>

#include "host/host.h"

static constexpr int soundVariantCount = 4;

void formatSoundPath(char (&path)[soundPathCapacity], const char* kind, int variant) {
    char name[soundNameCapacity];
    std::snprintf(name, sizeof name, "%s%i", kind, variant);
    std::snprintf(path, sizeof path, "Sounds\\%s.wav", name);
}

// rand() is shared with world creation, so the variants follow on from its draws.
static void playSoundVariant(const char* kind) {
    const int variant = std::rand() % soundVariantCount;
    char path[soundPathCapacity];
    formatSoundPath(path, kind, variant);
    hostPlaySound(path);
}

void playAttachSound() {
    playSoundVariant("attach");
}

void playDetachSound() {
    playSoundVariant("detach");
}
