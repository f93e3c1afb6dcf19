// Prints the files of the picture set, one a line, relative to the folder it is written to:
// the build runs it when it is configured, to know what make_pictures will write.

#include "textures/Pictureset_un.h"

#include <iostream>

int main() {
    for (const std::string& path : PictureSetPaths()) std::cout << PictureFile(path) << '\n';
    return 0;
}
