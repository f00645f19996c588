#include "app/linux_common/sound_path.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#ifndef ZIMBLET_DATA_DIR
#define ZIMBLET_DATA_DIR "/usr/share/zimblet"
#endif

namespace {

char programDirectory[soundFilePathCapacity];  // empty when unknown
char installedDirectory[soundFilePathCapacity];  // ../share/zimblet from there; empty when unknown

// Writes `directory/relative` (or just `relative` for an empty directory) with
// every backslash turned into a slash; false when it does not fit.
bool joinPath(const char* directory, const char* relative, char (&path)[soundFilePathCapacity]) {
    const int written = directory[0] != '\0' ? std::snprintf(path, sizeof path, "%s/%s", directory, relative)
                                             : std::snprintf(path, sizeof path, "%s", relative);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof path) {
        return false;
    }
    const std::size_t start = directory[0] != '\0' ? std::strlen(directory) + 1 : 0;
    for (char* c = path + start; *c != '\0'; ++c) {
        if (*c == '\\') *c = '/';
    }
    return true;
}

}  // namespace

//------------------------------------------------------------------------------
void rememberProgramDirectory() {
    const ssize_t length = readlink("/proc/self/exe", programDirectory, sizeof programDirectory - 1);
    programDirectory[length > 0 ? length : 0] = '\0';
    if (char* slash = std::strrchr(programDirectory, '/')) {
        *slash = '\0';
    } else {
        programDirectory[0] = '\0';
    }
    installedDirectory[0] = '\0';
    if (programDirectory[0] != '\0') {
        const int written = std::snprintf(installedDirectory, sizeof installedDirectory, "%s/../share/zimblet",
                                          programDirectory);
        if (written < 0 || static_cast<std::size_t>(written) >= sizeof installedDirectory) installedDirectory[0] = '\0';
    }
}

//------------------------------------------------------------------------------
// The data directory is looked for beside the program's bin folder first, so a
// package installed under another prefix than the build's still finds it.
bool findSoundFile(const char* relativePath, char (&found)[soundFilePathCapacity]) {
    const char* const directories[] = {"", programDirectory, installedDirectory, ZIMBLET_DATA_DIR};
    for (std::size_t i = 0; i < 4; ++i) {
        if (i > 0 && directories[i][0] == '\0') continue;  // the program's directory may be unknown
        if (joinPath(directories[i], relativePath, found) && access(found, R_OK) == 0) {
            return true;
        }
    }
    return false;
}
