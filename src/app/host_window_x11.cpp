#include <xcb/xcb.h>
#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/host_window.h"

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_ATOM_NONE;
    free(reply);
    return atom;
}

class X11HostWindowLookup : public HostWindowLookup {
  public:
    explicit X11HostWindowLookup(xcb_connection_t* connection) : c_(connection) {
        if (!c_) return;
        netWmName_ = Atom(c_, "_NET_WM_NAME");
        utf8_ = Atom(c_, "UTF8_STRING");
    }

    bool CanSee() const override { return c_ != nullptr; }

    bool Exists(const QString& title) override {
        if (!c_) return true;  // nothing can be seen: never end the tool for it
        const QByteArray wanted = title.toUtf8();
        const xcb_setup_t* setup = xcb_get_setup(c_);
        for (xcb_screen_iterator_t s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
            // Window managers put each client inside a frame: look one level below the root's
            // children too.
            for (xcb_window_t top : Children(s.data->root)) {
                if (Titled(top, wanted)) return true;
                for (xcb_window_t inner : Children(top))
                    if (Titled(inner, wanted)) return true;
            }
        }
        return false;
    }

  private:
    std::vector<xcb_window_t> Children(xcb_window_t window) {
        std::vector<xcb_window_t> result;
        xcb_query_tree_reply_t* reply = xcb_query_tree_reply(c_, xcb_query_tree(c_, window), nullptr);
        if (!reply) return result;
        const xcb_window_t* children = xcb_query_tree_children(reply);
        result.assign(children, children + xcb_query_tree_children_length(reply));
        free(reply);
        return result;
    }

    bool Property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type, const QByteArray& wanted) {
        if (name == XCB_ATOM_NONE) return false;
        xcb_get_property_reply_t* reply =
            xcb_get_property_reply(c_, xcb_get_property(c_, 0, window, name, type, 0, 1024), nullptr);
        if (!reply) return false;
        const int length = xcb_get_property_value_length(reply);
        const bool match = reply->format == 8 && length == wanted.size() &&
                           memcmp(xcb_get_property_value(reply), wanted.constData(), size_t(length)) == 0;
        free(reply);
        return match;
    }

    bool Titled(xcb_window_t window, const QByteArray& wanted) {
        return Property(window, netWmName_, utf8_, wanted) ||
               Property(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, wanted);
    }

    xcb_connection_t* c_;
    xcb_atom_t netWmName_ = XCB_ATOM_NONE;
    xcb_atom_t utf8_ = XCB_ATOM_NONE;
};

}  // namespace

std::unique_ptr<HostWindowLookup> MakeHostWindowLookup() {
    xcb_connection_t* connection = nullptr;
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        connection = x11->connection();
    return std::make_unique<X11HostWindowLookup>(connection);
}
