#include "system/Desktop.h"
#include "system/QtDesktop.h"

namespace {
Desktop* installed = nullptr;

Desktop& realDesktop() {
    static QtDesktop desktop;
    return desktop;
}
} // namespace

namespace DesktopSeam {
Desktop& current() {
    return installed ? *installed : realDesktop();
}

Desktop* install(Desktop* desktop) {
    Desktop* previous = installed;
    installed = desktop;
    return previous;
}
} // namespace DesktopSeam
