// Korvelin: the program. Until the conversion front end exists it answers --version and --help.
#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Korvelin %s\n", KORVELIN_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: Korvelin [--version] [--help] [PATH...]\n");
            return 0;
        }
    }
    std::printf("Korvelin %s\n", KORVELIN_VERSION);
    return 0;
}
