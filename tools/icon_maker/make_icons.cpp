// Draws the program's icon with the toy's own brick drawing into the directory named on
// the command line: hicolor/<N>x<N>/apps/org.zimblet.Zimblet.png for each size, and
// zimblet.ico holding them all.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "ico_file.h"
#include "icon_picture.h"

namespace {

constexpr int32_t iconSides[] = {16, 24, 32, 48, 64, 128, 256};

bool writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons <output-directory>\n");
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    bool ok = true;
    std::vector<RgbaImage> pictures;
    for (int32_t side : iconSides) {
        pictures.push_back(iconPicture(side));
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        ok = writeFile(directory / "hicolor" / size / "apps" / "org.zimblet.Zimblet.png", encodePng(pictures.back())) &&
             ok;
    }
    return writeFile(directory / "zimblet.ico", encodeIco(pictures)) && ok ? 0 : 1;
}
