#pragma once

#include <QPointer>

// A window of which at most one exists: made and loaded on first use, forgotten when it goes
// (also when it deletes itself), so that the next use starts afresh.
template <class Window> class LoadedOnFirstUse {
public:
    // `make` builds the window; `load` runs after it is known here, so whatever the load does
    // with the window finds this one instead of making another.
    template <class Make, class Load> Window& get(Make make, Load load) {
        if (!window_) {
            window_ = make();
            load(*window_);
        }
        return *window_;
    }
    template <class Make> Window& get(Make make) {
        return get(make, [](Window&) {});
    }
    Window* loaded() const { return window_; }
    // The window is on its way out: from now on it counts as not loaded.
    void forget() { window_ = nullptr; }
    void unload() {
        Window* window = window_;
        window_ = nullptr;
        delete window;
    }

private:
    QPointer<Window> window_;
};
