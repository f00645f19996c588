// Sounds on both Linux desktops through libcanberra: a new sound stops our previous
// one, and the desktop's bell stands in when the file cannot be played.

#include <canberra.h>
#include <unistd.h>

#include <cstring>

#include "host/host.h"

namespace {

// Every sound of ours carries this id, so cancelling it stops the one still playing.
constexpr uint32_t soundId = 1;
constexpr std::size_t pathCapacity = 512;

ca_context* context = nullptr;

}  // namespace

//------------------------------------------------------------------------------
// The core names files with a backslash as separator; here it becomes a slash.
// Without a sound device libcanberra fails for any file, so the bell is chosen on
// whether the file can be read, not on the error.
void hostPlaySound(const char* relativePath) {
    if (context == nullptr && ca_context_create(&context) != CA_SUCCESS) {
        context = nullptr;
        return;
    }
    char path[pathCapacity];
    std::size_t length = 0;
    for (; relativePath[length] != '\0' && length + 1 < pathCapacity; ++length) {
        path[length] = relativePath[length] == '\\' ? '/' : relativePath[length];
    }
    path[length] = '\0';

    ca_context_cancel(context, soundId);
    if (access(path, R_OK) == 0) {
        ca_context_play(context, soundId, CA_PROP_MEDIA_FILENAME, path, nullptr);
    } else {
        ca_context_play(context, soundId, CA_PROP_EVENT_ID, "bell", nullptr);
    }
}
