// Makes lumenvik-dict.bin from Debian's edict package (EDICT of the
// Electronic Dictionary Research and Development Group, EUC-JP):
//   make_dict [/usr/share/edict/edict] lumenvik-dict.bin
// The same source gives the same bytes. A source that does not decode fails
// with the line; lines of another shape are named and left out.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "dictionary/dict_builder.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: make_dict [EDICT] OUTPUT\n";
        return 2;
    }
    const std::string source = argc == 3 ? argv[1] : "/usr/share/edict/edict";
    const std::string output = argv[argc - 1];
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::cerr << source << ": cannot be read (Debian's package edict installs it)\n";
        return 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    lumenvik::DictionaryBuild build;
    if (!lumenvik::buildDictionary(bytes, build)) {
        std::cerr << source << ": " << build.error << "\n";
        return 1;
    }
    for (const std::string& w : build.warnings) std::cerr << source << ": " << w << "\n";
    const std::string temporary = output + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(build.bytes.data(), static_cast<std::streamsize>(build.bytes.size()));
        if (!out.flush()) {
            std::cerr << temporary << ": cannot be written\n";
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::cerr << output << ": cannot be replaced\n";
        return 1;
    }
    std::cout << output << ": " << build.entries << " entries, " << build.bytes.size()
              << " bytes\n";
    return 0;
}
