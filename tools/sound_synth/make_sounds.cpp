// Writes the toy's attach and detach sounds into the directory named on the command line.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "attach_sound.h"
#include "detach_sound.h"
#include "wav_writer.h"

namespace {

bool writeSound(const std::filesystem::path& directory, const std::string& name, const Signal& signal)
{
    const std::filesystem::path path = directory / (name + ".wav");
    if (!writeBytes(path, encodeWav(toPcm16(signal)))) {
        std::fprintf(stderr, "make_sounds: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds <output-directory>\n");
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::fprintf(stderr, "make_sounds: cannot create %s: %s\n", directory.string().c_str(), error.message().c_str());
        return 1;
    }

    bool ok = true;
    for (int variant = 0; variant < attachVariantCount; ++variant) {
        ok = writeSound(directory, "attach" + std::to_string(variant), synthAttach(variant)) && ok;
    }
    for (int variant = 0; variant < detachVariantCount; ++variant) {
        ok = writeSound(directory, "detach" + std::to_string(variant), synthDetach(variant)) && ok;
    }
    return ok ? 0 : 1;
}
