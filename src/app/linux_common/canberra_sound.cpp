// Sounds through libcanberra: each new sound stops the one before (one id for all),
// and a file that cannot be found or played gives the sound theme's bell instead.

#include "app/linux_common/canberra_sound.h"

#include <canberra.h>

#include "app/linux_common/sound_path.h"
#include "host/host.h"

namespace {

ca_context* context = nullptr;
constexpr uint32_t soundId = 1;

// Errors that say the file itself is at fault, so the bell should stand in for it.
bool isFileError(int error) {
    return error == CA_ERROR_NOTFOUND || error == CA_ERROR_CORRUPT || error == CA_ERROR_NOTSUPPORTED ||
           error == CA_ERROR_ACCESS || error == CA_ERROR_IO;
}

void playBell() {
    ca_context_play(context, soundId, CA_PROP_EVENT_ID, "bell", CA_PROP_EVENT_DESCRIPTION, "Zimblet", nullptr);
}

}  // namespace

//------------------------------------------------------------------------------
void openSound() {
    rememberProgramDirectory();
    if (ca_context_create(&context) != CA_SUCCESS) {
        context = nullptr;
        return;
    }
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Zimblet", CA_PROP_APPLICATION_ID, "zimblet",
                            nullptr);
}

//------------------------------------------------------------------------------
void closeSound() {
    if (context != nullptr) {
        ca_context_destroy(context);
        context = nullptr;
    }
}

//------------------------------------------------------------------------------
// Starts the file and returns at once. Whether the file is readable decides the
// bell: without an audio device every play fails, and then the bell would too.
void hostPlaySound(const char* relativePath) {
    if (context == nullptr) {
        return;
    }
    ca_context_cancel(context, soundId);
    char path[soundFilePathCapacity];
    if (!findSoundFile(relativePath, path)) {
        playBell();
        return;
    }
    const int result = ca_context_play(context, soundId, CA_PROP_MEDIA_FILENAME, path, CA_PROP_MEDIA_ROLE, "event",
                                       CA_PROP_EVENT_DESCRIPTION, "Zimblet", nullptr);
    if (isFileError(result)) {
        playBell();
    }
}
