#pragma once
// Each window registers how to show itself with demo data; the tool shows each in turn and
// writes NAME.png. A maker returns a top-level widget that it has shown (or a menu it has
// popped up); the tool grabs it, then deletes it.

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

namespace duvanto::screenshots {

struct Context {
    // A program folder made for this run, ending in "/": makers put their demo data here.
    std::string home;
    // A scratch folder for Source and Target trees, ending in "/".
    std::string scratch;
};

using Maker = std::function<QWidget*(Context&)>;

// Called from a static initialiser of each screenshot file.
bool Register(const char* name, Maker maker);

}  // namespace duvanto::screenshots

#define DUVANTO_SCREENSHOT_CAT2(a, b) a##b
#define DUVANTO_SCREENSHOT_CAT(a, b) DUVANTO_SCREENSHOT_CAT2(a, b)
// DUVANTO_SCREENSHOT("main-window", [](Context& c) -> QWidget* { ... });
#define DUVANTO_SCREENSHOT(name, maker)                               \
    static const bool DUVANTO_SCREENSHOT_CAT(registered_, __LINE__) = \
        ::duvanto::screenshots::Register(name, maker)
