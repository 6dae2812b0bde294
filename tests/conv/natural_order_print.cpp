// Prints a fixed set of page names in the natural order, one UTF-8 name a line. It starts Qt as
// the program does, so the locale comes from the environment; the natural order test runs it
// under different LANG settings and expects the same lines every time.
#include "common/platform/cp932.h"
#include "conv/inputs.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const char* names[] = {"b2.jpg",  "B10.jpg", "a1.jpg",  "あ3.jpg",     "ア2.jpg",
                           "か1.jpg", "ｶ2.jpg",  "漢字1.jpg", "ページ２.jpg", "ページ10.jpg",
                           "Ａ1.jpg", "p１０.jpg", "p9.jpg", "_x.jpg",      "10.jpg",
                           "２.jpg",  "a01.jpg", "Z.jpg",   "ぱ.jpg",      "は.jpg"};
    std::vector<std::string> paths;
    for (const char* name : names)
        paths.push_back("/s/" + tnw::platform::sjis(name));
    tnw::conv::sortNatural(paths);
    for (const std::string& path : paths)
        std::printf("%s\n", tnw::platform::cp932ToUtf8Lossy(path.substr(3)).c_str());
    return 0;
}
